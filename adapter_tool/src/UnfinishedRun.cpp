// The unfinished-run record of Adapset, beside the backup folder.
#include "UnfinishedRun.h"

#include <cstdio>
#include <optional>

#include "ConsoleText.h"
#include "SettingsBackup.h"
#include "win_base/TextConversion.h"
#include "settings_snapshot/ApplyRecord.h"

namespace {

using namespace SettingsSnapshot;

const wchar_t kProgram[] = L"adapset";

Outcome<ApplyRecord> Record() {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) return folder.Error();
    return ApplyRecord(folder.Value(), kProgram);
}

}  // namespace

int StartUnfinishedRun(const char* serviceName, const std::wstring& snapshotPath) {
    const Outcome<ApplyRecord> record = Record();
    std::optional<Failure> failure =
        record ? record.Value().Start(WinBase::WideFromNarrow(serviceName), snapshotPath) : record.Error();
    if (!failure) return 0;
    printf("Cannot record the run before changing anything: %s\n",
           WinBase::DisplayNarrow(failure->Describe()).c_str());
    return kSnapshotFailedStatus;
}

void EndUnfinishedRun() {
    const Outcome<ApplyRecord> record = Record();
    const std::optional<Failure> failure = record ? record.Value().Clear() : record.Error();
    if (failure) fprintf(stderr, "%s\n", WinBase::DisplayNarrow(failure->Describe()).c_str());
}

void ReportUnfinishedRun() {
    const Outcome<ApplyRecord> record = Record();
    if (!record) return;
    const Outcome<std::optional<UnfinishedApply>> found = record.Value().Find();
    if (!found) {
        PrintText(L"\nThe record of an unfinished run cannot be used: " + found.Error().Describe() + L"\n");
        return;
    }
    if (!found.Value()) return;
    PrintText(L"\nThe last configuration run (adapter " + found.Value()->service +
              L") did not finish. To put back the settings from before it:\n  adapset /restore \"" +
              found.Value()->snapshotPath + L"\"\n");
}

void EndUnfinishedRunRestoredFrom(const std::wstring& snapshotPath) {
    const Outcome<ApplyRecord> record = Record();
    if (!record) return;
    const Outcome<std::optional<UnfinishedApply>> found = record.Value().Find();
    if (found && found.Value() && _wcsicmp(found.Value()->snapshotPath.c_str(), snapshotPath.c_str()) == 0)
        EndUnfinishedRun();
}
