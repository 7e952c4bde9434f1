#pragma once
#include <string>

#include "adapter_inventory/AdapterInventory.h"

// How the wizard names adapters to its user. The names come from the registry: their
// control characters are written out (WinBase::PrintableText).

// The texts shown after an adapter whose link state is known.
struct AdapterStateTexts {
    std::wstring connected;     // 已連線
    std::wstring notConnected;  // 未連線
};

// The name the user knows the adapter by: its connection name ("乙太網路"), else its
// description, else its service name.
std::wstring AdapterDisplayName(const AdapterInventory::Adapter& adapter);

// One line of the entry page's adapter list: "<connection name> (<description>)",
// then the state text when the state is known. Without a connection name, the display
// name alone.
std::wstring AdapterLabel(const AdapterInventory::Adapter& adapter, const AdapterStateTexts& states);
