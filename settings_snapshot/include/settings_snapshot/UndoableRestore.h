// Putting a snapshot back so that the restore itself can be undone.
#pragma once
#include <string>

#include "settings_snapshot/Failure.h"
#include "settings_snapshot/Snapshot.h"
#include "settings_snapshot/SnapshotHistory.h"

namespace SettingsSnapshot {

// Saves the current values of every value the snapshot names (absent ones as absent)
// as the program's snapshot of the snapshot's first adapter, by the history's rules.
// Returns its path: restoring it puts back what restoring `snapshot` overwrites. Fails,
// saving nothing, when the snapshot names no adapter key or the values cannot be read
// or saved. Writes nothing to the registry.
Outcome<std::wstring> SaveUndoSnapshot(const SnapshotHistory& history, const std::wstring& programTag,
                                       const Snapshot& snapshot);

// SaveUndoSnapshot, then, only when it succeeded, ApplySnapshot (all or nothing).
// Returns the undo snapshot's path. Fails with nothing written when the undo snapshot
// cannot be saved, or when the apply fails (the undo snapshot then stays, holding the
// unchanged values).
Outcome<std::wstring> RestoreUndoably(const SnapshotHistory& history, const std::wstring& programTag,
                                      const Snapshot& snapshot);

}  // namespace SettingsSnapshot
