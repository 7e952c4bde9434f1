#include "platform/PreviousAddress.h"

#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/ValueText.h"

namespace {

using namespace SettingsSnapshot;

const SnapshotKey* FindKey(const Snapshot& snapshot, const std::wstring& path) {
    for (const SnapshotKey& key : snapshot.keys)
        if (_wcsicmp(key.path.c_str(), path.c_str()) == 0) return &key;
    return nullptr;
}

const SnapshotValue* FindValue(const SnapshotKey& key, const AdapterValue& wanted) {
    const std::wstring name = WideName(wanted);
    for (const SnapshotValue& value : key.values)
        if (value.present && _wcsicmp(value.name.c_str(), name.c_str()) == 0) return &value;
    return nullptr;
}

// The first text of a value as narrow text (addresses are ASCII; anything else makes
// the value unreadable, as does an absent one).
std::string First(const SnapshotValue* value) {
    if (value == nullptr) return std::string();
    const std::vector<std::wstring> texts = ValueTexts(*value);
    std::string first;
    for (const std::wstring& text : texts)
        for (const wchar_t c : text)
            if (c >= 0x80) return std::string();
    if (!texts.empty()) first.assign(texts.front().begin(), texts.front().end());
    return first;
}

std::vector<std::string> SplitServers(const std::string& list) {
    std::vector<std::string> servers;
    std::string current;
    for (const char c : list + ",") {
        if (c == ',' || c == ' ') {
            if (!current.empty()) servers.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    return servers;
}

bool HoldsAddress(const SnapshotKey* key) {
    return key != nullptr &&
           (FindValue(*key, kIPAddress) != nullptr || FindValue(*key, kEnableDhcp) != nullptr);
}

}  // namespace

std::optional<PreviousAddress> PreviousAddressIn(const Snapshot& snapshot, const std::wstring& service) {
    const SnapshotKey* key = FindKey(snapshot, TcpipInterfaceKey(service));
    if (!HoldsAddress(key)) key = FindKey(snapshot, AdapterTcpipKey(service));
    if (!HoldsAddress(key)) return std::nullopt;
    PreviousAddress previous;
    previous.address = First(FindValue(*key, kIPAddress));
    const SnapshotValue* const dhcp = FindValue(*key, kEnableDhcp);
    if (dhcp != nullptr && dhcp->type == REG_DWORD && dhcp->data.size() == 4)
        previous.dhcp = (dhcp->data[0] | dhcp->data[1] | dhcp->data[2] | dhcp->data[3]) != 0;
    else
        previous.dhcp = previous.address.empty() || previous.address == "0.0.0.0";
    if (previous.dhcp) return PreviousAddress{};
    if (previous.address.empty()) return std::nullopt;
    previous.mask = First(FindValue(*key, kSubnetMask));
    previous.gateway = First(FindValue(*key, kDefaultGateway));
    previous.dnsServers = SplitServers(First(FindValue(*key, kAdapterNameServer)));
    return previous;
}
