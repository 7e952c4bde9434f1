#include "platform/ApplyRecordFile.h"

#include <functional>

#include "settings_snapshot/ApplyRecord.h"

namespace {

using namespace SettingsSnapshot;

std::optional<Failure> WithRecord(const std::function<std::optional<Failure>(const ApplyRecord&)>& action) {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) return folder.Error();
    return action(ApplyRecord(folder.Value(), CApplyRecordFile::Program));
}

}  // namespace

const wchar_t CApplyRecordFile::Program[] = L"TarveloIP";

void CApplyRecordFile::Started(const std::wstring& service, const std::wstring& snapshotPath) {
    m_started = true;
    if (const std::optional<Failure> failure =
            WithRecord([&](const ApplyRecord& record) { return record.Start(service, snapshotPath); }))
        m_log.Write(L"unfinished-apply record not written: " + failure->Describe());
}

void CApplyRecordFile::Ended() {
    if (!m_started) return;
    m_started = false;
    if (const std::optional<Failure> failure = WithRecord([](const ApplyRecord& record) { return record.Clear(); }))
        m_log.Write(L"unfinished-apply record not removed: " + failure->Describe());
}
