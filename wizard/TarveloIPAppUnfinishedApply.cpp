#include "TarveloIPAppUnfinishedApply.h"

#include <windows.h>

#include "pages/ResourceText.h"
#include "platform/ApplyLogFile.h"
#include "platform/ApplyRecordFile.h"
#include "platform/RestoreMode.h"
#include "resources/resource.h"
#include "settings_snapshot/ApplyRecord.h"
#include "win_base/PrintableText.h"

namespace {

using namespace SettingsSnapshot;

const wchar_t Caption[] = L"Tarvelo ADSL";  // as the pages

}  // namespace

void OfferUnfinishedApply() {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) return;
    const ApplyRecord record(folder.Value(), CApplyRecordFile::Program);
    const Outcome<std::optional<UnfinishedApply>> found = record.Find();
    CApplyLogFile log(CApplyLogFile::DefaultPath());
    if (!found) {
        log.Write(L"unfinished-apply record not used: " + LogField(found.Error().Describe()));
        const std::wstring text =
            ResourceText(IDS_RECORD_UNUSABLE) + L"\n" + WinBase::PrintableText(found.Error().Describe());
        ::MessageBoxW(nullptr, text.c_str(), Caption, MB_OK | MB_ICONWARNING);
        return;
    }
    if (!found.Value()) return;
    const UnfinishedApply unfinished = *found.Value();
    log.Write(L"unfinished apply found: " + LogField(unfinished.snapshotPath));
    const int answer = ::MessageBoxW(nullptr, ResourceText(IDS_UNFINISHED_APPLY).c_str(), Caption,
                                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON1);
    record.Clear();
    if (answer != IDYES) {
        log.Write(L"unfinished apply: settings kept");
        return;
    }
    RunRestoreMode(RestoreRequest::File, unfinished.snapshotPath);
}
