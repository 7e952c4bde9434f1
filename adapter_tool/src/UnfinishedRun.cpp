// The unfinished-run record of Adapset, beside the backup folder.
#include "UnfinishedRun.h"

#include <cstdio>
#include <optional>

#include "ConsoleText.h"
#include "SettingsBackup.h"
#include "settings_snapshot/ApplyRecord.h"
#include "win_base/PrintableText.h"
#include "win_base/TextConversion.h"

namespace {

using namespace SettingsSnapshot;

const wchar_t kProgram[] = L"adapset";

// The record's failure, or nothing when done.
template <typename Action>
std::optional<Failure> WithRecord(Action action) {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) return folder.Error();
    return action(ApplyRecord(folder.Value(), kProgram));
}

}  // namespace

int StartUnfinishedRun(const BackupFolder& folder, const char* serviceName, const std::wstring& snapshotPath,
                       OwnedHandle* record) {
    Outcome<OwnedHandle> begun =
        ApplyRecord(folder, kProgram).Begin(WinBase::WideFromNarrow(serviceName), snapshotPath);
    if (begun) {
        *record = std::move(begun.Value());
        return 0;
    }
    printf("Cannot record the run before changing anything: %s\n",
           ConsoleField(begun.Error().Describe()).c_str());
    return kSnapshotFailedStatus;
}

void EndUnfinishedRun(const BackupFolder& folder, OwnedHandle record) {
    const std::optional<Failure> failure = ApplyRecord(folder, kProgram).End(std::move(record));
    if (failure) fprintf(stderr, "%s\n", ConsoleField(failure->Describe()).c_str());
}

void ReportUnfinishedRun() {
    WithRecord([](const ApplyRecord& record) {
        const Outcome<std::optional<UnfinishedApply>> found = record.Find();
        if (!found)
            PrintText(L"\nThe record of an unfinished run cannot be used: " +
                      WinBase::PrintableText(found.Error().Describe()) + L"\n");
        else if (found.Value())
            PrintText(L"\nThe last configuration run (adapter " +
                      WinBase::PrintableText(found.Value()->service) +
                      L") did not finish. To put back the settings from before it:\n  adapset /restore \"" +
                      WinBase::PrintableText(found.Value()->snapshotPath) + L"\"\n");
        return std::optional<Failure>();
    });
}
