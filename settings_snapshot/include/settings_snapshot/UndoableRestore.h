// Putting a snapshot back so that the restore itself can be undone.
#pragma once
#include <string>

#include "settings_snapshot/Failure.h"
#include "settings_snapshot/Snapshot.h"
#include "settings_snapshot/SnapshotHistory.h"

namespace SettingsSnapshot {

// Saves the current values of every value the snapshot names (absent ones as absent)
// as the program's snapshot of the snapshot's first adapter, by the history's rules, and
// only then applies the snapshot all or nothing (ApplySnapshot). Returns the path of
// that undo snapshot: restoring it undoes the restore. Fails with nothing written when
// the snapshot names no adapter key, the current values cannot be read or saved, or the
// apply fails (the undo snapshot then stays, holding the unchanged values).
Outcome<std::wstring> RestoreUndoably(const SnapshotHistory& history, const std::wstring& programTag,
                                      const Snapshot& snapshot);

}  // namespace SettingsSnapshot
