#pragma once
#include "apply/ApplySequence.h"

// The wizard's unfinished-apply record, "unfinished-TarveloIP.txt" in the protected
// data folder (see SettingsSnapshot::ApplyRecord). A record that cannot be written or
// removed does not stop the sequence; the apply log says so.
class CApplyRecordFile : public IApplyRecord {
public:
    explicit CApplyRecordFile(IApplyLog& log) : m_log(log) {}
    void Started(const std::wstring& service, const std::wstring& snapshotPath) override;
    void Ended() override;

    // The program name the record is kept under.
    static const wchar_t Program[];

private:
    IApplyLog& m_log;
    bool m_started = false;
};
