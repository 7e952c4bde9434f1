#include "platform/SettingsBackup.h"

#include "platform/PreviousAddress.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/SnapshotRestore.h"
#include "settings_snapshot/SnapshotHistory.h"
#include "settings_snapshot/SnapshotSave.h"

using namespace SettingsSnapshot;

bool CSettingsBackup::Save(const AdapterInventory::Adapter& adapter, std::wstring& detail) {
    // The adapter's first snapshot is kept as its original.
    const Outcome<SavedSnapshot, SaveFailure> saved =
        SaveAdapterSnapshot(AdapterRequests(adapter.serviceName, false), kWizardTag, adapter.serviceName);
    if (!saved) {
        detail = saved.Error().cause.Describe();
        return false;
    }
    detail = saved.Value().path;
    m_savedPath = saved.Value().path;
    m_service = adapter.serviceName;
    // From the values just captured, not from the file read back.
    m_previous = PreviousAddressIn(saved.Value().snapshot, adapter.serviceName);
    return true;
}

bool CSettingsBackup::RestoreSaved(std::wstring& detail) {
    if (m_savedPath.empty()) {
        detail = L"no snapshot saved by this run";
        return false;
    }
    const Outcome<RestoredSnapshot, RestoreFailure> restored =
        RestoreAdapterSnapshot(m_savedPath, {m_service}, kWizardTag);
    detail = restored ? m_savedPath : restored.Error().cause.Describe();
    return restored.Succeeded();
}
