// The adapters as the registry lists them: the NetworkCards subkeys, each adapter's
// class entry (matched by NetCfgInstanceId) and its connection name.
#include <windows.h>

#include "ReadOnlyKey.h"
#include "SameText.h"
#include "adapter_inventory/AdapterInventory.h"

namespace AdapterInventory {

namespace {

const wchar_t kNetworkCardsPath[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
const wchar_t kNetClassPath[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
const wchar_t kNetConnectionsPath[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

// Characteristics bits of a class entry.
constexpr DWORD kNcfVirtual = 0x1;
constexpr DWORD kNcfPhysical = 0x4;
constexpr DWORD kNcfHidden = 0x8;

// *PhysicalMediaType values.
constexpr DWORD kMediaWired = 14;  // 802.3
constexpr DWORD kMediaWiFi = 9;    // native 802.11

// What one class entry says about its adapter.
struct ClassEntry {
    std::wstring instanceId;
    DWORD characteristics = 0;
    std::optional<DWORD> mediaType;
};

// Adapter class entries are named by four digits; "Properties" and the like are not.
bool IsEntryName(const std::wstring& name) {
    if (name.size() != 4) return false;
    for (wchar_t c : name)
        if (c < L'0' || c > L'9') return false;
    return true;
}

// Every readable class entry with a NetCfgInstanceId; none when the class key cannot be read.
std::vector<ClassEntry> ReadClassEntries() {
    std::vector<ClassEntry> entries;
    ReadOnlyKey netClass;
    if (netClass.Open(HKEY_LOCAL_MACHINE, kNetClassPath) != ERROR_SUCCESS) return entries;
    for (const std::wstring& name : netClass.SubkeyNames()) {
        if (!IsEntryName(name)) continue;
        ReadOnlyKey entry;
        if (entry.Open(netClass.Get(), name) != ERROR_SUCCESS) continue;
        const std::optional<std::wstring> id = entry.String(L"NetCfgInstanceId");
        if (!id || id->empty()) continue;
        entries.push_back(
            {*id, entry.Dword(L"Characteristics").value_or(0), entry.Dword(L"*PhysicalMediaType")});
    }
    return entries;
}

Medium MediumOf(const std::optional<DWORD>& mediaType) {
    if (mediaType == kMediaWired) return Medium::Wired;
    if (mediaType == kMediaWiFi) return Medium::WiFi;
    return Medium::Other;
}

// The connection's Name; empty when there is none.
std::wstring ConnectionName(const std::wstring& service) {
    ReadOnlyKey connection;
    if (service.empty() ||
        connection.Open(HKEY_LOCAL_MACHINE, kNetConnectionsPath + service + L"\\Connection") != ERROR_SUCCESS)
        return std::wstring();
    return connection.String(L"Name").value_or(std::wstring());
}

}  // namespace

NetworkCardList ReadNetworkCards() {
    NetworkCardList list;
    ReadOnlyKey cards;
    list.status = cards.Open(HKEY_LOCAL_MACHINE, kNetworkCardsPath);
    if (list.status != ERROR_SUCCESS) return list;
    for (const std::wstring& name : cards.SubkeyNames()) {
        NetworkCard card;
        card.cardKey = name;
        ReadOnlyKey key;
        card.status = key.Open(cards.Get(), name);
        if (card.status == ERROR_SUCCESS) {
            card.description = key.String(L"Description");
            card.serviceName = key.String(L"ServiceName");
        }
        list.cards.push_back(std::move(card));
    }
    return list;
}

std::vector<Adapter> NameCards(const std::vector<NetworkCard>& cards, bool withConnectionNames) {
    std::vector<Adapter> adapters;
    for (const NetworkCard& card : cards) {
        Adapter adapter;
        adapter.cardKey = card.cardKey;
        adapter.serviceName = card.serviceName.value_or(std::wstring());
        adapter.description = card.description.value_or(std::wstring());
        if (withConnectionNames) adapter.connectionName = ConnectionName(adapter.serviceName);
        adapters.push_back(std::move(adapter));
    }
    return adapters;
}

std::vector<Adapter> DescribeCards(const std::vector<NetworkCard>& cards) {
    const std::vector<ClassEntry> entries = ReadClassEntries();
    std::vector<Adapter> adapters = NameCards(cards);
    for (Adapter& adapter : adapters) {
        for (const ClassEntry& entry : entries) {
            if (adapter.serviceName.empty() || !SameServiceName(entry.instanceId, adapter.serviceName))
                continue;
            adapter.physical = (entry.characteristics & kNcfPhysical) != 0;
            adapter.hidden = (entry.characteristics & kNcfHidden) != 0;
            adapter.isVirtual = (entry.characteristics & kNcfVirtual) != 0;
            adapter.medium = MediumOf(entry.mediaType);
            break;
        }
    }
    return adapters;
}

std::vector<Adapter> ReadAdaptersFromRegistry() {
    std::vector<NetworkCard> named;
    for (NetworkCard& card : ReadNetworkCards().cards)
        if (card.serviceName && !card.serviceName->empty()) named.push_back(std::move(card));
    return DescribeCards(named);
}

std::vector<std::wstring> ReadServiceNames() {
    std::vector<std::wstring> services;
    for (NetworkCard& card : ReadNetworkCards().cards)
        if (card.serviceName && !card.serviceName->empty()) services.push_back(std::move(*card.serviceName));
    return services;
}

std::vector<Adapter> ReadAdapters() {
    std::vector<Adapter> adapters = ReadAdaptersFromRegistry();
    MergeLinkStates(adapters, QueryInterfaceLinks());
    return adapters;
}

}  // namespace AdapterInventory
