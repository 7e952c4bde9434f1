// Which adapter the wizard configures, and how a user names one.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "adapter_inventory/AdapterInventory.h"

namespace AdapterInventory {

// The adapter the modem is most likely on: the first connected physical wired adapter;
// else the first physical wired one; else the first other physical one; else the first.
// Hidden or virtual adapters are never physical here. nullopt for an empty list.
std::optional<size_t> ChooseAdapter(const std::vector<Adapter>& adapters);

// The adapter a user named: a number n (1-based position in the list), else a service
// name, else a connection name, names compared without regard to case. nullopt when
// nothing matches.
std::optional<size_t> FindAdapter(const std::vector<Adapter>& adapters, const std::wstring& name);

}  // namespace AdapterInventory
