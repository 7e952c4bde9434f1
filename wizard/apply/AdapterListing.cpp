#include "apply/AdapterListing.h"

using AdapterInventory::Adapter;
using AdapterInventory::LinkState;

std::wstring AdapterDisplayName(const Adapter& adapter) {
    if (!adapter.connectionName.empty()) return adapter.connectionName;
    if (!adapter.description.empty()) return adapter.description;
    return adapter.serviceName;
}

std::wstring AdapterLabel(const Adapter& adapter, const AdapterStateTexts& states) {
    std::wstring label = AdapterDisplayName(adapter);
    if (!adapter.connectionName.empty() && !adapter.description.empty())
        label += L" (" + adapter.description + L")";
    if (adapter.state == LinkState::Connected) label += L" " + states.connected;
    if (adapter.state == LinkState::NotConnected) label += L" " + states.notConnected;
    return label;
}
