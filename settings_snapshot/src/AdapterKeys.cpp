#include "settings_snapshot/AdapterKeys.h"

namespace SettingsSnapshot {
namespace {

// Each key's path around the service name (the parameters key has none).
struct KeyParts {
    AdapterKey key;
    const char* head;
    const char* tail;
};

const KeyParts kKeyParts[] = {
    {kTcpipParameters, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", nullptr},
    {kAdapterTcpip, "SYSTEM\\CurrentControlSet\\Services\\", "\\Parameters\\Tcpip"},
    {kTcpipInterface, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\", ""},
    {kNetbtInterface, "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces\\Tcpip_", ""},
    {kNetbtAdapter, "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Adapters\\", ""},
};

const KeyParts& PartsOf(AdapterKey key) {
    for (const KeyParts& parts : kKeyParts)
        if (parts.key == key) return parts;
    return kKeyParts[0];
}

template <typename Text>
Text Ascii(const char* text) {
    Text converted;
    for (; *text != '\0'; ++text) converted += static_cast<typename Text::value_type>(*text);
    return converted;
}

template <typename Text>
Text PathOf(AdapterKey key, const Text& service) {
    const KeyParts& parts = PartsOf(key);
    if (parts.tail == nullptr) return Ascii<Text>(parts.head);
    return Ascii<Text>(parts.head) + service + Ascii<Text>(parts.tail);
}

// The last component of a path that matches "<prefix>*<suffix>" component-wise.
std::optional<std::wstring> Wildcard(const std::wstring& path, AdapterKey key) {
    const KeyParts& parts = PartsOf(key);
    const std::wstring head = Ascii<std::wstring>(parts.head);
    const std::wstring tail = Ascii<std::wstring>(parts.tail);
    if (!MatchesKeyPattern(path, head + L"*" + tail)) return std::nullopt;
    const std::wstring rest = path.substr(head.size());
    return rest.substr(0, rest.size() - tail.size());
}

}  // namespace

const wchar_t kTcpipParametersKey[] = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

std::wstring AdapterKeyPath(AdapterKey key, const std::wstring& service) {
    return PathOf(key, service);
}
std::string AdapterKeyPath(AdapterKey key, const std::string& service) {
    return PathOf(key, service);
}

std::wstring AdapterTcpipKey(const std::wstring& service) {
    return AdapterKeyPath(kAdapterTcpip, service);
}
std::wstring TcpipInterfaceKey(const std::wstring& service) {
    return AdapterKeyPath(kTcpipInterface, service);
}
std::wstring NetbtInterfaceKey(const std::wstring& service) {
    return AdapterKeyPath(kNetbtInterface, service);
}
std::wstring NetbtAdapterKey(const std::wstring& service) {
    return AdapterKeyPath(kNetbtAdapter, service);
}

std::optional<std::wstring> ServiceOfAdapterKey(const std::wstring& keyPath) {
    if (auto service = Wildcard(keyPath, kAdapterTcpip)) return service;
    return Wildcard(keyPath, kTcpipInterface);
}

std::wstring WideName(const AdapterValue& value) {
    return Ascii<std::wstring>(value.name);
}

std::vector<KeyRequest> AdapterRequests(const std::wstring& service, bool withWins) {
    std::vector<KeyRequest> requests;
    for (const AdapterKey key : kAdapterKeyOrder) {
        KeyRequest request{AdapterKeyPath(key, service), {}};
        for (const AdapterValue* value : kAdapterValues)
            if ((value->keys & key) != 0 && (withWins || !value->winsOnly))
                request.valueNames.push_back(WideName(*value));
        if (!request.valueNames.empty()) requests.push_back(std::move(request));
    }
    return requests;
}

}  // namespace SettingsSnapshot
