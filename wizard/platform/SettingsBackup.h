#pragma once
#include "apply/ApplySequence.h"

// The wizard's snapshot before it changes anything: every value its sequence may
// change for the chosen adapter (the adapter table's values but the WINS servers, which
// the wizard never gives: the tool, the store and the network shell write no others), saved in the backup
// folder as "<time>-TarveloIP-<service>.reg" (the adapter's first snapshot kept as its
// original); then only the newest of the wizard's snapshots are kept. Its way back saves
// what it overwrites first, so that it can be undone.
class CSettingsBackup : public ISettingsBackup {
public:
    std::optional<SettingsSnapshot::Failure> Save(const AdapterInventory::Adapter& adapter) override;
    std::wstring SavedPath() const override { return m_savedPath; }
    // Puts the file that Save wrote back (see RestoreAdapterSnapshot).
    std::optional<SettingsSnapshot::Failure> RestoreSaved() override;
    std::optional<PreviousAddress> Previous() const override { return m_previous; }

private:
    std::wstring m_savedPath;
    std::wstring m_service;
    std::optional<PreviousAddress> m_previous;
};
