// Adapset's view of the installed network adapters: the table of service names and
// the usage text with the numbered listing.
#pragma once

#include "AccessRefusal.h"
#include "AdapterNumbers.h"

// Fills the table with the adapters of the NetworkCards subkeys, in the registry's
// enumeration order, up to the first card that cannot be opened or has no readable
// service name; leaves it empty when the key cannot be opened. Notes in the table
// whether an open was refused for lack of rights. Connection names are read only when
// asked for: a run that names its adapter by number matches no name.
void BuildAdapterTable(AdapterTable* table, bool withConnectionNames);

// Prints the banner, the usage lines and the adapter listing; returns the listing's status.
RunStatus PrintUsage();

// Prints the numbered adapter list (description, service name, connection name, medium
// and link state of each); returns 0, or the count of characters of its
// failure message when the NetworkCards key cannot be opened; with whether an open was
// refused for lack of rights.
RunStatus ListAdapters();
