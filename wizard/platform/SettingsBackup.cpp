#include "platform/SettingsBackup.h"

#include <vector>

#include "platform/PreviousAddress.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/SnapshotRestore.h"
#include "settings_snapshot/SnapshotSave.h"

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

const wchar_t CSettingsBackup::Tag[] = L"TarveloIP";

bool CSettingsBackup::Save(const AdapterInventory::Adapter& adapter, std::wstring& detail) {
    const Outcome<SavedSnapshot, SaveFailure> saved = SaveSnapshot(Requests(adapter.serviceName), Tag, Tag);
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
