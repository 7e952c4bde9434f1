// Saving Adapset's snapshot before a configuration run writes.
#include "SettingsBackup.h"

#include <cstdio>
#include <string>

#include "ConsoleText.h"
#include "win_base/TextConversion.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/RegFileFormat.h"
#include "settings_snapshot/RegistryCapture.h"
#include "settings_snapshot/SnapshotHistory.h"

namespace {

using SettingsSnapshot::Failure;

int CannotSave(const std::wstring& path, Failure failure) {
    printf("Cannot save the current settings: %s\n", ConsoleField(path).c_str());
    if (failure.subject == path) failure.subject.clear();  // already named
    fflush(stdout);
    fprintf(stderr, "%s\n", ConsoleField(failure.Describe()).c_str());
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

int SaveCurrentSettings(const std::vector<KeyWrites>& plan, const char* serviceName,
                        std::wstring* savedPath) {
    const auto folder = SettingsSnapshot::BackupFolder::Default();
    if (!folder) return CannotSave(folder.Error().subject, folder.Error());
    const auto snapshot = SettingsSnapshot::CaptureSnapshot(Requests(plan));
    if (!snapshot) return CannotSave(folder.Value().Path(), snapshot.Error());
    // An old snapshot that cannot be deleted does not stop the run.
    const auto saved = SettingsSnapshot::SnapshotHistory(folder.Value())
                           .Save(SettingsSnapshot::kToolTag, WinBase::WideFromNarrow(serviceName),
                                 SettingsSnapshot::EncodeRegFile(snapshot.Value()));
    if (!saved) return CannotSave(saved.Error().subject, saved.Error());
    if (savedPath != nullptr) *savedPath = saved.Value();
    return 0;
}
