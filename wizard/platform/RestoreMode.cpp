#include "platform/RestoreMode.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "platform/ApplyLogFile.h"
#include "pages/ResourceText.h"
#include "platform/Restart.h"
#include "platform/SettingsBackup.h"
#include "resources/resource.h"
#include "adapter_inventory/AdapterInventory.h"
#include "settings_snapshot/AdapterAllowList.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/RegFileParser.h"
#include "settings_snapshot/SnapshotApply.h"
#include "settings_snapshot/SnapshotFile.h"

namespace {

using namespace SettingsSnapshot;

const wchar_t Caption[] = L"Tarvelo ADSL";  // as the pages

// The services a snapshot may name: the adapters of this machine's NetworkCards.
std::vector<std::wstring> AllowedServices() {
    std::vector<std::wstring> services;
    for (AdapterInventory::Adapter& adapter : AdapterInventory::ReadAdaptersFromRegistry())
        services.push_back(std::move(adapter.serviceName));
    return services;
}

// A failure as the log records it: the parts that may come from a file bounded.
std::wstring LoggedFailure(Failure failure) {
    failure.subject = LogField(failure.subject);
    failure.reason = LogField(failure.reason);
    return failure.Describe();
}

// Restores the newest of the wizard's snapshots. The file's path on success; otherwise
// why nothing was restored (no snapshot at all, or the failure).
Outcome<std::wstring> RestoreNewest() {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) return folder.Error();
    const Outcome<std::vector<SnapshotFileEntry>> entries = folder.Value().List(CSettingsBackup::Tag);
    if (!entries) return entries.Error();
    if (entries.Value().empty()) return Failure{folder.Value().Path(), ResourceText(IDS_NO_SNAPSHOT)};
    const std::wstring& path = entries.Value().front().path;
    const Outcome<std::vector<BYTE>> bytes = ReadSnapshotFile(path);
    if (!bytes) return bytes.Error();
    Outcome<Snapshot> snapshot = ParseRegFile(bytes.Value(), AdapterAllowList(AllowedServices()));
    if (!snapshot) {
        Failure failure = snapshot.Error();
        failure.subject = path;
        return failure;
    }
    if (std::optional<Failure> failure = ApplySnapshot(snapshot.Value())) return *failure;
    return path;
}

}  // namespace

bool IsRestoreRequest() {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> arguments(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    return arguments != nullptr && count >= 2 && _wcsicmp(arguments.get()[1], L"/restore") == 0;
}

int RunRestoreMode() {
    const Outcome<std::wstring> restored = RestoreNewest();
    CApplyLogFile log(CApplyLogFile::DefaultPath());
    if (!restored) {
        log.Write(L"restore failed: " + LoggedFailure(restored.Error()));
        const std::wstring text = ResourceText(IDS_RESTORE_FAILED) + L"\n" + restored.Error().Describe();
        ::MessageBoxW(nullptr, text.c_str(), Caption, MB_OK | MB_ICONERROR);
        return 1;
    }
    log.Write(L"restored " + LogField(restored.Value()));
    const std::wstring text =
        ResourceText(IDS_RESTORED) + L"\n" + restored.Value() + L"\n\n" + ResourceText(IDS_RESTART_NOW);
    if (::MessageBoxW(nullptr, text.c_str(), Caption, MB_YESNO | MB_ICONINFORMATION) == IDYES) {
        const DWORD status = RestartComputer();
        log.Write(status == ERROR_SUCCESS ? std::wstring(L"restart requested")
                                          : L"restart request failed: error " + std::to_wstring(status));
        if (status != ERROR_SUCCESS)
            ::MessageBoxW(nullptr, ResourceText(IDS_RESTART_BY_HAND).c_str(), Caption,
                          MB_OK | MB_ICONWARNING);
    }
    return 0;
}
