// Names compared as the registry compares key names: without regard to case, in any script.
#pragma once
#include <string>

namespace AdapterInventory {

// True when a and b are equal once both are upper-cased by the invariant locale.
bool SameText(const std::wstring& a, const std::wstring& b);

}  // namespace AdapterInventory
