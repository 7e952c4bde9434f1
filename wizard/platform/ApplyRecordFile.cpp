#include "platform/ApplyRecordFile.h"

#include "settings_snapshot/ApplyRecord.h"

using namespace SettingsSnapshot;

const wchar_t CApplyRecordFile::Program[] = L"TarveloIP";

void CApplyRecordFile::Started(const std::wstring& service, const std::wstring& snapshotPath) {
    m_started = true;
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    const std::optional<Failure> failure =
        folder ? ApplyRecord(folder.Value(), Program).Start(service, snapshotPath) : folder.Error();
    if (failure) m_log.Write(L"unfinished-apply record not written: " + failure->Describe());
}

void CApplyRecordFile::Ended() {
    if (!m_started) return;
    m_started = false;
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    const std::optional<Failure> failure =
        folder ? ApplyRecord(folder.Value(), Program).Clear() : folder.Error();
    if (failure) m_log.Write(L"unfinished-apply record not removed: " + failure->Describe());
}
