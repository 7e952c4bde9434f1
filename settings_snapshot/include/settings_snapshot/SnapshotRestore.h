// Putting an adapter snapshot file back: read it, parse it with the adapter allow-list,
// apply it all or nothing.
#pragma once
#include <string>
#include <vector>

#include "settings_snapshot/Failure.h"
#include "settings_snapshot/Snapshot.h"

namespace SettingsSnapshot {

// A snapshot put back: what it held and the adapters it named (AdaptersNamedIn).
struct RestoredSnapshot {
    Snapshot snapshot;
    std::vector<std::wstring> adapters;
    std::wstring undoPath;  // the snapshot of what it overwrote, when asked for
};

// Where a restore stopped: the file could not be read (a Win32 error), its content is
// not one of our adapter snapshots (too large, malformed, outside the allow-list, no
// adapter key), or the registry refused (nothing written, or put back).
// Undo: what it would overwrite could not be saved first (nothing written).
enum class RestoreStage { Read, Content, Undo, Apply };

struct RestoreFailure {
    RestoreStage stage;
    Failure cause;  // Read and Content name the file as subject; Apply the key or value
};

// Reads the file (bounded, no link followed), parses it with AdapterAllowList(services),
// refuses it when it names no adapter key, then applies it (see ApplySnapshot). On
// failure nothing is written, or what was written is put back.
// With undoProgramTag, the values it would overwrite are first saved as that program's
// snapshot (SaveUndoSnapshot, in BackupFolder::Default()), so that the restore can be
// undone; its path is returned in undoPath.
Outcome<RestoredSnapshot, RestoreFailure> RestoreAdapterSnapshot(const std::wstring& path,
                                                                 std::vector<std::wstring> services,
                                                                 const wchar_t* undoProgramTag = nullptr);

}  // namespace SettingsSnapshot
