#pragma once
#include "apply/ApplySequence.h"

// The wizard's snapshot before it changes anything: every value its sequence may
// change for the chosen adapter (both adapter keys, its NetBT interface key) and the
// TCP/IP parameters' NameServer, saved in the backup folder as
// "<time>-TarveloIP-<service>.reg" (the adapter's first snapshot kept as its original);
// then only the newest of the wizard's snapshots are kept.
class CSettingsBackup : public ISettingsBackup {
public:
    bool Save(const AdapterInventory::Adapter& adapter, std::wstring& detail) override;
    // Puts the file that Save wrote back (see RestoreSnapshotFile).
    bool RestoreSaved(std::wstring& detail) override;
    std::optional<PreviousAddress> Previous() const override { return m_previous; }

private:
    std::wstring m_savedPath;
    std::wstring m_service;
    std::optional<PreviousAddress> m_previous;
};
