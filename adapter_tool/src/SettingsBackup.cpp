// Saving Adapset's snapshot before a configuration run writes.
#include "SettingsBackup.h"

#include <cstdio>
#include <string>

#include "ConsoleText.h"
#include "settings_snapshot/SnapshotHistory.h"
#include "settings_snapshot/SnapshotSave.h"
#include "win_base/TextConversion.h"

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

int SaveCurrentSettings(const SettingsSnapshot::Outcome<SettingsSnapshot::BackupFolder>& folder,
                        const std::vector<KeyWrites>& plan, const char* serviceName,
                        std::wstring* savedPath) {
    if (!folder) return CannotSave(folder.Error().subject, folder.Error());
    // An old snapshot that cannot be deleted does not stop the run.
    const auto saved = SettingsSnapshot::SaveAdapterSnapshot(
        folder.Value(), Requests(plan), SettingsSnapshot::kToolTag, WinBase::WideFromNarrow(serviceName));
    if (!saved) return CannotSave(saved.Error().target, saved.Error().cause);
    if (savedPath != nullptr) *savedPath = saved.Value().path;
    return 0;
}
