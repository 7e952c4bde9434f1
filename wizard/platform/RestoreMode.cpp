#include "platform/RestoreMode.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "adapter_inventory/AdapterInventory.h"
#include "apply/DecimalText.h"
#include "pages/RestoreChooserDlg.h"
#include "pages/ResourceText.h"
#include "platform/ApplyLogFile.h"
#include "platform/Restart.h"
#include "platform/RestoreModeChoices.h"
#include "settings_snapshot/SnapshotRestore.h"
#include "resources/resource.h"
#include "settings_snapshot/AdapterAllowList.h"
#include "settings_snapshot/BackupFolder.h"
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

int Fail(CApplyLogFile& log, const Failure& failure) {
    log.Write(L"restore failed: " + LoggedFailure(failure));
    const std::wstring text =
        ResourceText(IDS_RESTORE_FAILED) + L"\n" + WinBase::PrintableText(failure.Describe());
    ::MessageBoxW(nullptr, text.c_str(), Caption, MB_OK | MB_ICONERROR);
    return 1;
}

// The tabs of a choice line as a message box shows them.
std::wstring Spaced(std::wstring line) {
    for (wchar_t& c : line)
        if (c == L'\t') c = L' ';
    return line;
}

// Puts back one snapshot file (undoable, all or nothing) and tells the user what,
// described by its line. 0 when restored, 1 otherwise.
int RestoreAndReport(CApplyLogFile& log, const std::wstring& path, const std::wstring& line) {
    const Outcome<RestoredSnapshot, RestoreFailure> restored =
        RestoreAdapterSnapshot(path, AdapterInventory::ReadServiceNames(), kWizardTag);
    if (!restored) return Fail(log, restored.Error().cause);
    log.Write(L"restored " + LogField(path));
    const std::wstring text =
        ResourceText(IDS_RESTORED) + L"\n" + Spaced(line) + L"\n\n" + ResourceText(IDS_RESTART_NOW);
    if (::MessageBoxW(nullptr, text.c_str(), Caption, MB_YESNO | MB_ICONINFORMATION) == IDYES) {
        const DWORD status = RestartComputer();
        log.Write(status == ERROR_SUCCESS
                      ? std::wstring(L"restart requested")
                      : L"restart request failed: error " + ZeroPadded(static_cast<unsigned>(status), 1));
        if (status != ERROR_SUCCESS)
            ::MessageBoxW(nullptr, ResourceText(IDS_RESTART_BY_HAND).c_str(), Caption,
                          MB_OK | MB_ICONWARNING);
    }
    return 0;
}

}  // namespace

RestoreRequest ReadRestoreRequest() {
    const std::vector<std::wstring> arguments = WinBase::WideArguments();
    if (arguments.size() < 2 || _wcsicmp(arguments[1].c_str(), L"/restore") != 0) return RestoreRequest::None;
    if (arguments.size() == 2) return RestoreRequest::Choose;
    if (arguments.size() == 3 && _wcsicmp(arguments[2].c_str(), L"original") == 0) return RestoreRequest::Original;
    if (arguments.size() == 3 && _wcsicmp(arguments[2].c_str(), L"newest") == 0) return RestoreRequest::Newest;
    return RestoreRequest::Unknown;
}

int RunRestoreMode(RestoreRequest request, const std::wstring& file) {
    CApplyLogFile log(CApplyLogFile::DefaultPath());
    if (request == RestoreRequest::Unknown)
        return Fail(log, Failure{L"/restore", L"only \"original\" or \"newest\" may follow"});
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) return Fail(log, folder.Error());
    const Outcome<std::vector<HistoryEntry>> entries = SnapshotHistory(folder.Value()).List();
    if (!entries) return Fail(log, entries.Error());
    if (entries.Value().empty()) {
        log.Write(L"restore: no snapshot");
        ::MessageBoxW(nullptr, ResourceText(IDS_NO_SNAPSHOT).c_str(), Caption, MB_OK | MB_ICONINFORMATION);
        return 1;
    }
    std::vector<HistoryEntry> offered = entries.Value();
    if (request == RestoreRequest::Newest) offered.resize(1);
    if (request == RestoreRequest::File) {
        const auto found = std::find_if(offered.begin(), offered.end(), [&](const HistoryEntry& entry) {
            return _wcsicmp(entry.file.path.c_str(), file.c_str()) == 0;
        });
        if (found == offered.end()) return Fail(log, Failure{file, L"not a trusted snapshot"});
        offered = {*found};
    }
    if (request == RestoreRequest::Original) {
        const HistoryEntry* original = SnapshotHistory::OriginalOf(offered, offered.front().service);
        if (original == nullptr)
            return Fail(log, Failure{offered.front().file.name, L"no original of its adapter"});
        offered = {*original};
    }
    const std::vector<RestoreChoice> choices =
        ReadChoices(offered, AdapterInventory::ReadAdaptersFromRegistry(),
                    AdapterAllowList(AdapterInventory::ReadServiceNames()));
    size_t chosen = 0;
    if (request == RestoreRequest::Choose) {
        std::vector<std::wstring> lines;
        for (const RestoreChoice& choice : choices) lines.push_back(choice.line);
        CRestoreChooserDlg page(lines);
        if (page.DoModal() != IDOK) {
            log.Write(L"restore cancelled");
            return 1;
        }
        chosen = page.Chosen();
    }
    return RestoreAndReport(log, choices[chosen].entry.file.path, choices[chosen].line);
}
