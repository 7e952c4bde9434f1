#include "settings_snapshot/SnapshotSave.h"

#include "settings_snapshot/RegFileFormat.h"

namespace SettingsSnapshot {

Outcome<SavedSnapshot, SaveFailure> SaveSnapshot(const BackupFolder& folder,
                                                 const std::vector<KeyRequest>& requests,
                                                 const std::wstring& tag,
                                                 const std::optional<std::wstring>& prunePrefix) {
    Outcome<Snapshot> captured = CaptureSnapshot(requests);
    if (!captured) return SaveFailure{folder.Path(), captured.Error()};
    const Outcome<std::wstring> saved = folder.Save(tag, EncodeRegFile(captured.Value()));
    if (!saved) return SaveFailure{saved.Error().subject, saved.Error()};
    // An old snapshot that cannot be deleted does not fail the save.
    if (prunePrefix) folder.Prune(*prunePrefix, saved.Value());
    return SavedSnapshot{saved.Value(), std::move(captured.Value())};
}

Outcome<SavedSnapshot, SaveFailure> SaveSnapshot(const std::vector<KeyRequest>& requests,
                                                 const std::wstring& tag,
                                                 const std::optional<std::wstring>& prunePrefix) {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) return SaveFailure{folder.Error().subject, folder.Error()};
    return SaveSnapshot(folder.Value(), requests, tag, prunePrefix);
}

}  // namespace SettingsSnapshot
