// Saving a snapshot before a run changes anything: find the backup folder, capture the
// values, encode them, save a new file, prune the older ones.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/Failure.h"
#include "settings_snapshot/RegistryCapture.h"
#include "settings_snapshot/Snapshot.h"

namespace SettingsSnapshot {

// A saved snapshot: its new file and the values it holds, as captured.
struct SavedSnapshot {
    std::wstring path;
    Snapshot snapshot;
};

// Why a save stopped: the folder or file it could not save to, and the cause (the
// folder's check, a key or value that could not be read, the file's write).
struct SaveFailure {
    std::wstring target;
    Failure cause;
};

// Captures the requested values (see CaptureSnapshot), writes them as a new
// "<time>-<tag>.reg" in the folder (see BackupFolder::Save), then, when prunePrefix is
// given, keeps only the newest files of that tag prefix, never the new one (a file
// that cannot be deleted stays; the save still succeeds). On failure no file is saved
// and none deleted. Never writes the registry.
Outcome<SavedSnapshot, SaveFailure> SaveSnapshot(const BackupFolder& folder,
                                                 const std::vector<KeyRequest>& requests,
                                                 const std::wstring& tag,
                                                 const std::optional<std::wstring>& prunePrefix);

// The same in BackupFolder::Default(); fails, naming the data folder, when it is not known.
Outcome<SavedSnapshot, SaveFailure> SaveSnapshot(const std::vector<KeyRequest>& requests,
                                                 const std::wstring& tag,
                                                 const std::optional<std::wstring>& prunePrefix);

}  // namespace SettingsSnapshot
