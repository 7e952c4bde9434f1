#include "apply/AdapterListing.h"

#include "win_base/PrintableText.h"

using AdapterInventory::Adapter;
using AdapterInventory::LinkState;

using WinBase::PrintableText;

std::wstring AdapterDisplayName(const Adapter& adapter) {
    if (!adapter.connectionName.empty()) return PrintableText(adapter.connectionName);
    if (!adapter.description.empty()) return PrintableText(adapter.description);
    return PrintableText(adapter.serviceName);
}

std::wstring AdapterLabel(const Adapter& adapter, const AdapterStateTexts& states) {
    std::wstring label = AdapterDisplayName(adapter);
    if (!adapter.connectionName.empty() && !adapter.description.empty())
        label += L" (" + PrintableText(adapter.description) + L")";
    if (adapter.state == LinkState::Connected) label += L" " + states.connected;
    if (adapter.state == LinkState::NotConnected) label += L" " + states.notConnected;
    return label;
}
