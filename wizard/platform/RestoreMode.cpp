#include "platform/RestoreMode.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "apply/DecimalText.h"
#include "adapter_inventory/AdapterInventory.h"
#include "apply/AdapterListing.h"
#include "platform/ApplyLogFile.h"
#include "pages/ResourceText.h"
#include "platform/Restart.h"
#include "platform/SettingsBackup.h"
#include "resources/resource.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/SnapshotRestore.h"
#include "win_base/PrintableText.h"
#include "win_base/WideArguments.h"

namespace {

using namespace SettingsSnapshot;

const wchar_t Caption[] = L"Tarvelo ADSL";  // as the pages

// A failure as the log records it: the parts that may come from a file bounded.
std::wstring LoggedFailure(Failure failure) {
    failure.subject = LogField(failure.subject);
    failure.reason = LogField(failure.reason);
    return failure.Describe();
}

// What was restored: the file, and the names the user knows its adapters by.
struct Restored {
    std::wstring path;
    std::wstring adapters;  // "乙太網路"; several joined by "、"; empty when none is known
};

// The names the user knows these adapters by (those of this machine).
std::wstring AdapterNames(const std::vector<std::wstring>& services) {
    const std::vector<AdapterInventory::Adapter> adapters = AdapterInventory::ReadAdaptersFromRegistry();
    std::wstring names;
    for (const std::wstring& service : services) {
        for (const AdapterInventory::Adapter& adapter : adapters) {
            if (!AdapterInventory::SameServiceName(adapter.serviceName, service)) continue;
            names += (names.empty() ? L"" : L"、") + AdapterDisplayName(adapter);
            break;
        }
    }
    return names;
}

// Restores the newest of the wizard's snapshots. The file and its adapters on success;
// otherwise why nothing was restored (no snapshot at all, or the failure).
Outcome<Restored> RestoreNewest() {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) return folder.Error();
    const Outcome<std::vector<SnapshotFileEntry>> entries = folder.Value().List(CSettingsBackup::Tag);
    if (!entries) return entries.Error();
    if (entries.Value().empty()) return Failure{folder.Value().Path(), ResourceText(IDS_NO_SNAPSHOT)};
    const std::wstring& path = entries.Value().front().path;
    const Outcome<RestoredSnapshot, RestoreFailure> restored =
        RestoreAdapterSnapshot(path, AdapterInventory::ReadServiceNames());
    if (!restored) return restored.Error().cause;
    return Restored{path, AdapterNames(restored.Value().adapters)};
}

}  // namespace

bool IsRestoreRequest() {
    const std::vector<std::wstring> arguments = WinBase::WideArguments();
    return arguments.size() >= 2 && _wcsicmp(arguments[1].c_str(), L"/restore") == 0;
}

int RunRestoreMode() {
    const Outcome<Restored> restored = RestoreNewest();
    CApplyLogFile log(CApplyLogFile::DefaultPath());
    if (!restored) {
        log.Write(L"restore failed: " + LoggedFailure(restored.Error()));
        const std::wstring text =
            ResourceText(IDS_RESTORE_FAILED) + L"\n" + WinBase::PrintableText(restored.Error().Describe());
        ::MessageBoxW(nullptr, text.c_str(), Caption, MB_OK | MB_ICONERROR);
        return 1;
    }
    log.Write(L"restored " + LogField(restored.Value().path));
    std::wstring text = ResourceText(IDS_RESTORED) + L"\n" + WinBase::PrintableText(restored.Value().path);
    if (!restored.Value().adapters.empty())
        text += L"\n" + ResourceText(IDS_RESTORED_ADAPTERS) + restored.Value().adapters;
    text += L"\n\n" + ResourceText(IDS_RESTART_NOW);
    if (::MessageBoxW(nullptr, text.c_str(), Caption, MB_YESNO | MB_ICONINFORMATION) == IDYES) {
        const DWORD status = RestartComputer();
        log.Write(status == ERROR_SUCCESS ? std::wstring(L"restart requested")
                                          : L"restart request failed: error " + WideDecimal(status));
        if (status != ERROR_SUCCESS)
            ::MessageBoxW(nullptr, ResourceText(IDS_RESTART_BY_HAND).c_str(), Caption,
                          MB_OK | MB_ICONWARNING);
    }
    return 0;
}
