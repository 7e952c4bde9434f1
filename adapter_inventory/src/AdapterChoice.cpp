// The adapter rule and the name matcher.
#include "adapter_inventory/AdapterChoice.h"

#include "SameText.h"

namespace AdapterInventory {

namespace {

// Hidden or virtual adapters (kernel debugger, Bluetooth network, VPN ...) do not count
// as physical whatever else their class entry says.
bool IsPhysical(const Adapter& adapter) {
    return adapter.physical && !adapter.hidden && !adapter.isVirtual;
}

template <typename Test>
std::optional<size_t> First(const std::vector<Adapter>& adapters, Test test) {
    for (size_t i = 0; i < adapters.size(); ++i)
        if (test(adapters[i])) return i;
    return std::nullopt;
}

// The number a name of decimal digits only stands for; nullopt for any other name (or
// one too large to be a position).
std::optional<size_t> Number(const std::wstring& name) {
    if (name.empty() || name.size() > 9) return std::nullopt;
    size_t value = 0;
    for (wchar_t c : name) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<size_t>(c - L'0');
    }
    return value;
}

}  // namespace

std::optional<size_t> ChooseAdapter(const std::vector<Adapter>& adapters) {
    if (auto found = First(adapters, [](const Adapter& a) {
            return IsPhysical(a) && a.medium == Medium::Wired && a.state == LinkState::Connected;
        }))
        return found;
    if (auto found =
            First(adapters, [](const Adapter& a) { return IsPhysical(a) && a.medium == Medium::Wired; }))
        return found;
    if (auto found = First(adapters, IsPhysical)) return found;
    return adapters.empty() ? std::nullopt : std::optional<size_t>(0);
}

std::optional<size_t> FindAdapter(const std::vector<Adapter>& adapters, const std::wstring& name) {
    if (const std::optional<size_t> number = Number(name))
        return *number >= 1 && *number <= adapters.size() ? std::optional<size_t>(*number - 1) : std::nullopt;
    if (name.empty()) return std::nullopt;
    if (auto found = First(adapters, [&](const Adapter& a) { return SameText(a.serviceName, name); }))
        return found;
    return First(adapters, [&](const Adapter& a) { return SameText(a.connectionName, name); });
}

}  // namespace AdapterInventory
