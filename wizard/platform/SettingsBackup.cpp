#include "platform/SettingsBackup.h"

#include "platform/PreviousAddress.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/SnapshotRestore.h"
#include "settings_snapshot/SnapshotSave.h"

using namespace SettingsSnapshot;

const wchar_t CSettingsBackup::Tag[] = L"TarveloIP";

bool CSettingsBackup::Save(const AdapterInventory::Adapter& adapter, std::wstring& detail) {
    const Outcome<SavedSnapshot, SaveFailure> saved =
        SaveSnapshot(AdapterRequests(adapter.serviceName, false), Tag, Tag);
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
        RestoreAdapterSnapshot(m_savedPath, {m_service});
    detail = restored ? m_savedPath : restored.Error().cause.Describe();
    return restored.Succeeded();
}
