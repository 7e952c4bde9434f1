// Link states from the IP Helper. GetIfTable2 is bound at run time from the system
// directory, so the programs still start where the IP Helper lacks it: every state is
// then unknown.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <windows.h>

#include "adapter_inventory/AdapterInventory.h"
#include "win_base/LibraryLoading.h"

namespace AdapterInventory {

namespace {

using GetIfTable2Function = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
using FreeMibTableFunction = VOID(WINAPI*)(PVOID);

// Appends the value's low `digits` hex digits, upper case.
void AppendHex(std::wstring& text, unsigned long value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        text += L"0123456789ABCDEF"[(value >> shift) & 0xF];
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", as NetworkCards spells service names (by
// hand: a wide printf would add about 10 KB to each program).
std::wstring GuidText(const GUID& guid) {
    std::wstring text = L"{";
    AppendHex(text, guid.Data1, 8);
    text += L'-';
    AppendHex(text, guid.Data2, 4);
    text += L'-';
    AppendHex(text, guid.Data3, 4);
    text += L'-';
    for (int i = 0; i < 8; ++i) {
        if (i == 2) text += L'-';
        AppendHex(text, guid.Data4[i], 2);
    }
    return text + L"}";
}

LinkState StateOf(NET_IF_MEDIA_CONNECT_STATE state) {
    if (state == MediaConnectStateConnected) return LinkState::Connected;
    if (state == MediaConnectStateDisconnected) return LinkState::NotConnected;
    return LinkState::Unknown;
}

}  // namespace

std::vector<InterfaceLink> QueryInterfaceLinks() {
    std::vector<InterfaceLink> links;
    const WinBase::UniqueLibrary library = WinBase::LoadSystemLibrary(L"iphlpapi.dll");
    if (!library) return links;
    const auto getTable = reinterpret_cast<GetIfTable2Function>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "GetIfTable2")));
    const auto freeTable = reinterpret_cast<FreeMibTableFunction>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "FreeMibTable")));
    if (getTable == nullptr || freeTable == nullptr) return links;
    PMIB_IF_TABLE2 table = nullptr;
    if (getTable(&table) != NO_ERROR || table == nullptr) return links;
    for (ULONG i = 0; i < table->NumEntries; ++i)
        links.push_back(
            {GuidText(table->Table[i].InterfaceGuid), StateOf(table->Table[i].MediaConnectState)});
    freeTable(table);
    return links;
}

void MergeLinkStates(std::vector<Adapter>& adapters, const std::vector<InterfaceLink>& links) {
    for (Adapter& adapter : adapters) {
        adapter.state = LinkState::Unknown;
        for (const InterfaceLink& link : links) {
            if (link.state == LinkState::Unknown || !SameServiceName(link.interfaceGuid, adapter.serviceName))
                continue;
            adapter.state = link.state;
            if (link.state == LinkState::Connected) break;
        }
    }
}

}  // namespace AdapterInventory
