// Adapset's view of the installed network adapters: the table of service names and
// the usage text with the numbered listing.
#pragma once

#include "AdapterNumbers.h"

// Fills the table with the service names of the NetworkCards subkeys, in the
// registry's enumeration order; leaves it empty when the key cannot be opened.
void BuildAdapterTable(AdapterTable* table);

// Prints the banner, the usage lines and the adapter listing; returns the listing's status.
int PrintUsage();

// Prints the numbered adapter list; returns 0, or the count of characters of its
// failure message when the NetworkCards key cannot be opened.
int ListAdapters();
