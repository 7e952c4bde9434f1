#include "settings_snapshot/AdapterAllowList.h"

#include "DecimalText.h"
#include "NameCompare.h"

namespace SettingsSnapshot {
namespace {

// A service name that can only ever name one key component.
bool IsPlainServiceName(const std::wstring& service) {
    if (service.empty()) return false;
    for (const wchar_t c : service)
        if (c < 0x20 || c == 0x7F || c == L'\\') return false;
    return true;
}

// Which key of an allowed service (or the parameters key) the path names; 0 for none.
unsigned KeyOf(const std::wstring& keyPath, const std::vector<std::wstring>& services) {
    if (SameName(keyPath, kTcpipParametersKey)) return kTcpipParameters;
    for (const std::wstring& service : services)
        for (const AdapterKey key : kAdapterKeyOrder)
            if (key != kTcpipParameters && SameName(keyPath, AdapterKeyPath(key, service))) return key;
    return 0;
}

}  // namespace

AdapterAllowList::AdapterAllowList(std::vector<std::wstring> services) {
    for (std::wstring& service : services)
        if (IsPlainServiceName(service)) m_services.push_back(std::move(service));
}

std::optional<std::wstring> AdapterAllowList::KeyFault(const std::wstring& keyPath) const {
    if (KeyOf(keyPath, m_services) != 0) return std::nullopt;
    return L"key outside the allowed locations (not a TCP/IP or NetBT key of this machine's adapters): " +
           keyPath;
}

std::optional<std::wstring> AdapterAllowList::ValueFault(const std::wstring& keyPath,
                                                         const SnapshotValue& value) const {
    const unsigned key = KeyOf(keyPath, m_services);
    const AdapterValue* rule = nullptr;
    for (const AdapterValue* candidate : kAdapterValues)
        if ((candidate->keys & key) != 0 && SameName(value.name, WideName(*candidate))) rule = candidate;
    if (rule == nullptr) return L"value not one our programs save in this key: " + value.name;
    if (!value.present) return std::nullopt;
    if (value.type != rule->type) return L"value of a type our programs do not save: " + value.name;
    if (rule->type == REG_DWORD) {
        if (value.data.size() != 4) return L"dword value not four bytes long: " + value.name;
        return std::nullopt;
    }
    if (value.data.size() > rule->maxBytes)
        return L"text value longer than " + DecimalText(rule->maxBytes) + L" bytes: " + value.name;
    if (value.data.size() % 2 != 0) return L"text value of an odd number of bytes: " + value.name;
    return std::nullopt;
}

}  // namespace SettingsSnapshot
