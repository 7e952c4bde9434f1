#include "platform/SettingsBackup.h"

#include "platform/PreviousAddress.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/SnapshotRestore.h"
#include "settings_snapshot/SnapshotHistory.h"
#include "settings_snapshot/SnapshotSave.h"

using namespace SettingsSnapshot;

std::optional<Failure> CSettingsBackup::Save(const AdapterInventory::Adapter& adapter) {
    // The adapter's first snapshot is kept as its original.
    const Outcome<SavedSnapshot, SaveFailure> saved =
        SaveAdapterSnapshot(AdapterRequests(adapter.serviceName, false), kWizardTag, adapter.serviceName);
    if (!saved) return saved.Error().cause;
    m_savedPath = saved.Value().path;
    m_service = adapter.serviceName;
    // From the values just captured, not from the file read back.
    m_previous = PreviousAddressIn(saved.Value().snapshot, adapter.serviceName);
    return std::nullopt;
}

std::optional<Failure> CSettingsBackup::RestoreSaved() {
    if (m_savedPath.empty()) return Failure{L"", L"no snapshot saved by this run"};
    const Outcome<RestoredSnapshot, RestoreFailure> restored =
        RestoreAdapterSnapshot(m_savedPath, {m_service}, kWizardTag);
    if (!restored) return restored.Error().cause;
    return std::nullopt;
}
