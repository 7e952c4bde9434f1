// Adapter numbers: positions in the registry's order of the NetworkCards subkeys,
// counted from 1, and the table that turns them into service names.
#pragma once

#include <string>
#include <vector>

// The service names of the adapters, entry n-1 for adapter number n.
struct AdapterTable {
    std::vector<std::string> serviceNames;
};

// The decimal digits of text read as one number, other characters skipped; saturates
// at INT_MAX instead of overflowing, so a huge number is merely out of range.
int ParseAdapterNumber(const char* text);

// True when the adapter name is an adapter number (its first character is a digit).
bool IsAdapterNumber(const char* adapterName);

// Service name for adapterName: entry n-1 of the table for a number n in range, the
// name itself otherwise; nullptr for a number out of range (the usage text is shown).
const char* ResolveAdapter(const char* adapterName, const AdapterTable& table);
