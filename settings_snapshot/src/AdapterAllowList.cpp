#include "settings_snapshot/AdapterAllowList.h"

#include <iterator>

#include "NameCompare.h"
#include "settings_snapshot/AdapterKeys.h"

namespace SettingsSnapshot {
namespace {

enum class KeyKind { None, Parameters, Adapter, NetbtInterface, NetbtAdapter };

struct ValueRule {
    KeyKind kind;
    const wchar_t* name;
    DWORD type;
};

const ValueRule kRules[] = {
    {KeyKind::Adapter, L"IPAddress", REG_MULTI_SZ},
    {KeyKind::Adapter, L"SubnetMask", REG_MULTI_SZ},
    {KeyKind::Adapter, L"DefaultGateway", REG_MULTI_SZ},
    {KeyKind::Adapter, L"NameServer", REG_SZ},
    {KeyKind::Adapter, L"EnableDHCP", REG_DWORD},
    {KeyKind::Parameters, L"NameServer", REG_SZ},
    {KeyKind::NetbtInterface, L"NameServerList", REG_MULTI_SZ},
    {KeyKind::NetbtAdapter, L"NameServer", REG_SZ},
    {KeyKind::NetbtAdapter, L"NamerServerBackup", REG_SZ},
};

// A service name that can only ever name one key component.
bool IsPlainServiceName(const std::wstring& service) {
    if (service.empty()) return false;
    for (const wchar_t c : service)
        if (c < 0x20 || c == 0x7F || c == L'\\') return false;
    return true;
}

KeyKind KindOf(const std::wstring& keyPath, const std::vector<std::wstring>& services) {
    if (SameName(keyPath, kTcpipParametersKey)) return KeyKind::Parameters;
    for (const std::wstring& service : services) {
        if (SameName(keyPath, AdapterTcpipKey(service)) || SameName(keyPath, TcpipInterfaceKey(service)))
            return KeyKind::Adapter;
        if (SameName(keyPath, NetbtInterfaceKey(service))) return KeyKind::NetbtInterface;
        if (SameName(keyPath, NetbtAdapterKey(service))) return KeyKind::NetbtAdapter;
    }
    return KeyKind::None;
}

}  // namespace

AdapterAllowList::AdapterAllowList(std::vector<std::wstring> services) {
    for (std::wstring& service : services)
        if (IsPlainServiceName(service)) m_services.push_back(std::move(service));
}

std::optional<std::wstring> AdapterAllowList::KeyFault(const std::wstring& keyPath) const {
    if (KindOf(keyPath, m_services) != KeyKind::None) return std::nullopt;
    return L"key outside the allowed locations (not a TCP/IP or NetBT key of this machine's adapters): " +
           keyPath;
}

std::optional<std::wstring> AdapterAllowList::ValueFault(const std::wstring& keyPath,
                                                         const SnapshotValue& value) const {
    const KeyKind kind = KindOf(keyPath, m_services);
    const ValueRule* rule = nullptr;
    for (const ValueRule& candidate : kRules)
        if (candidate.kind == kind && SameName(value.name, candidate.name)) rule = &candidate;
    if (rule == nullptr) return L"value not one our programs save in this key: " + value.name;
    if (!value.present) return std::nullopt;
    if (value.type != rule->type) return L"value of a type our programs do not save: " + value.name;
    if (rule->type == REG_DWORD) {
        if (value.data.size() != 4) return L"dword value not four bytes long: " + value.name;
        return std::nullopt;
    }
    if (value.data.size() > kMaxSnapshotTextBytes) return L"text value longer than 4096 bytes: " + value.name;
    if (value.data.size() % 2 != 0) return L"text value of an odd number of bytes: " + value.name;
    return std::nullopt;
}

}  // namespace SettingsSnapshot
