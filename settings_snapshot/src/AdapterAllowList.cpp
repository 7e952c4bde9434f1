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
    return L"key " + keyPath +
           L" is not one our snapshots hold (they hold the TCP/IP and NetBT keys of this machine's adapters)";
}

std::optional<std::wstring> AdapterAllowList::ValueFault(const std::wstring& keyPath,
                                                         const SnapshotValue& value) const {
    const unsigned key = KeyOf(keyPath, m_services);
    const AdapterValue* rule = nullptr;
    for (const AdapterValue* candidate : kAdapterValues)
        if ((candidate->keys & key) != 0 && SameName(value.name, WideName(*candidate))) rule = candidate;
    const std::wstring named = (value.name.empty() ? L"the default value" : L"value " + value.name) + L" of " + keyPath;
    if (rule == nullptr) return named + L" is not one our snapshots hold";
    if (!value.present) return std::nullopt;
    if (value.type != rule->type) return named + L" is not of the type our snapshots hold";
    if (rule->type == REG_DWORD) {
        if (value.data.size() != 4) return named + L" is a dword value not four bytes long";
        return std::nullopt;
    }
    if (value.data.size() > rule->maxBytes)
        return named + L" is a text value longer than " + DecimalText(rule->maxBytes) + L" bytes";
    if (value.data.size() % 2 != 0) return named + L" is a text value of an odd number of bytes";
    return std::nullopt;
}

}  // namespace SettingsSnapshot
