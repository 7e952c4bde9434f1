// Adapter numbers and names: positions in the registry's order of the NetworkCards
// subkeys, counted from 1, service names and connection names, and the table that
// turns them into service names.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "adapter_inventory/AdapterInventory.h"

// The adapters, entry n-1 for adapter number n.
struct AdapterTable {
    std::vector<AdapterInventory::Adapter> adapters;
    bool accessRefused = false;  // reading the cards met an open refused for lack of rights
};

// The decimal digits of text read as one number, other characters skipped; saturates
// at INT_MAX instead of overflowing, so a huge number is merely out of range.
int ParseAdapterNumber(const char* text);

// True when the adapter name is an adapter number (its first character is a digit).
bool IsAdapterNumber(const char* adapterName);

// Service name (in the ANSI code page) for adapterName, whose UTF-16 form is wideName:
// the service name of adapter n for a number n in range; else the table's spelling of
// the service name or connection name it matches without regard to case; else the name
// as typed. nullopt for a number out of range (the usage text is shown).
std::optional<std::string> ResolveAdapter(const char* adapterName, const std::wstring& wideName,
                                          const AdapterTable& table);
