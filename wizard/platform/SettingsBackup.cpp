#include "platform/SettingsBackup.h"

#include <vector>

#include "platform/SnapshotRestore.h"
#include "settings_snapshot/AdapterAllowList.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/RegFileFormat.h"
#include "settings_snapshot/RegistryCapture.h"
#include "settings_snapshot/SnapshotHistory.h"

namespace {

using namespace SettingsSnapshot;

// What the tool and the store write for the adapter's service (the network shell
// writes the same values of the same adapter).
std::vector<KeyRequest> Requests(const std::wstring& service) {
    const std::vector<std::wstring> addressValues = {L"IPAddress", L"SubnetMask", L"DefaultGateway",
                                                     L"NameServer", L"EnableDHCP"};
    std::vector<KeyRequest> requests = {{kTcpipParametersKey, {L"NameServer"}}};
    requests.push_back({AdapterTcpipKey(service), addressValues});
    requests.push_back({TcpipInterfaceKey(service), addressValues});
    requests.push_back({NetbtInterfaceKey(service), {L"NameServerList"}});
    return requests;
}

}  // namespace

bool CSettingsBackup::Save(const AdapterInventory::Adapter& adapter, std::wstring& detail) {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) {
        detail = folder.Error().Describe();
        return false;
    }
    const Outcome<Snapshot> snapshot = CaptureSnapshot(Requests(adapter.serviceName));
    if (!snapshot) {
        detail = snapshot.Error().Describe();
        return false;
    }
    // The adapter's first snapshot is kept as its original; old ones that cannot be
    // deleted do not stop the sequence.
    const Outcome<std::wstring> saved =
        SnapshotHistory(folder.Value())
            .Save(kWizardTag, adapter.serviceName, EncodeRegFile(snapshot.Value()));
    if (!saved) {
        detail = saved.Error().Describe();
        return false;
    }
    detail = saved.Value();
    m_savedPath = saved.Value();
    m_service = adapter.serviceName;
    m_previous = PreviousAddressIn(snapshot.Value(), adapter.serviceName);
    return true;
}

bool CSettingsBackup::RestoreSaved(std::wstring& detail) {
    if (m_savedPath.empty()) {
        detail = L"no snapshot saved by this run";
        return false;
    }
    const Outcome<Snapshot> restored = RestoreSnapshotFile(m_savedPath, AdapterAllowList({m_service}));
    detail = restored ? m_savedPath : restored.Error().Describe();
    return restored.Succeeded();
}
