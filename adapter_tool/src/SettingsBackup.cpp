// Saving Adapset's snapshot before a configuration run writes.
#include "SettingsBackup.h"

#include <cstdio>
#include <string>

#include "win_base/TextConversion.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/RegFileFormat.h"
#include "settings_snapshot/RegistryCapture.h"

namespace {

using SettingsSnapshot::Failure;

// The tag of the tool's snapshot files; retention counts the files it starts.
const wchar_t kTagPrefix[] = L"adapset-";

int CannotSave(const std::wstring& path, Failure failure) {
    printf("Cannot save the current settings: %s\n", WinBase::DisplayNarrow(path).c_str());
    if (failure.subject == path) failure.subject.clear();  // already named
    fflush(stdout);
    fprintf(stderr, "%s\n", WinBase::DisplayNarrow(failure.Describe()).c_str());
    return kSnapshotFailedStatus;
}

// The plan's keys with the names of the values it writes there.
std::vector<SettingsSnapshot::KeyRequest> Requests(const std::vector<KeyWrites>& plan) {
    std::vector<SettingsSnapshot::KeyRequest> requests;
    for (const KeyWrites& writes : plan) {
        SettingsSnapshot::KeyRequest request{WinBase::WideFromNarrow(writes.path.c_str()), {}};
        for (const ValueWrite& value : writes.values)
            request.valueNames.push_back(WinBase::WideFromNarrow(value.name));
        requests.push_back(std::move(request));
    }
    return requests;
}

}  // namespace

int SaveCurrentSettings(const std::vector<KeyWrites>& plan, const char* serviceName) {
    const auto folder = SettingsSnapshot::BackupFolder::Default();
    if (!folder) return CannotSave(folder.Error().subject, folder.Error());
    const auto snapshot = SettingsSnapshot::CaptureSnapshot(Requests(plan));
    if (!snapshot) return CannotSave(folder.Value().Path(), snapshot.Error());
    const auto saved = folder.Value().Save(kTagPrefix + WinBase::WideFromNarrow(serviceName),
                                           SettingsSnapshot::EncodeRegFile(snapshot.Value()));
    if (!saved) return CannotSave(saved.Error().subject, saved.Error());
    // An old snapshot that cannot be deleted does not stop the run.
    folder.Value().Prune(kTagPrefix, saved.Value());
    return 0;
}
