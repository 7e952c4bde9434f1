#include "platform/SettingsBackup.h"

#include <algorithm>
#include <vector>

#include "platform/NetworkCards.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/RegFileFormat.h"
#include "settings_snapshot/RegistryCapture.h"

namespace {

using namespace SettingsSnapshot;

// The services the sequence may change: the tool's adapters 1 to 3 and the store's card.
std::vector<std::wstring> ChangedServices() {
    std::vector<std::wstring> services = CardServiceNames(3);
    const std::optional<std::wstring> first = FirstCardServiceName();
    if (first && std::find(services.begin(), services.end(), *first) == services.end())
        services.push_back(*first);
    return services;
}

// What the network shell, the tool and the store write for those services.
std::vector<KeyRequest> Requests(const std::vector<std::wstring>& services) {
    const std::vector<std::wstring> addressValues = {L"IPAddress", L"SubnetMask", L"DefaultGateway",
                                                     L"NameServer", L"EnableDHCP"};
    std::vector<KeyRequest> requests = {{kTcpipParametersKey, {L"NameServer"}}};
    for (const std::wstring& service : services) {
        requests.push_back({AdapterTcpipKey(service), addressValues});
        requests.push_back({TcpipInterfaceKey(service), addressValues});
        requests.push_back({NetbtInterfaceKey(service), {L"NameServerList"}});
    }
    return requests;
}

}  // namespace

const wchar_t CSettingsBackup::Tag[] = L"TarveloIP";

bool CSettingsBackup::Save(std::wstring& detail) {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) {
        detail = folder.Error().Describe();
        return false;
    }
    const Outcome<Snapshot> snapshot = CaptureSnapshot(Requests(ChangedServices()));
    if (!snapshot) {
        detail = snapshot.Error().Describe();
        return false;
    }
    const Outcome<std::wstring> saved = folder.Value().Save(Tag, EncodeRegFile(snapshot.Value()));
    if (!saved) {
        detail = saved.Error().Describe();
        return false;
    }
    detail = saved.Value();
    // An old snapshot that cannot be deleted does not stop the sequence.
    folder.Value().Prune(Tag, saved.Value());
    return true;
}
