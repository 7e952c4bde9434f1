#pragma once
#include <optional>
#include <string>
#include <vector>

// The network cards as the registry lists them, read from the 64-bit view.

// A non-empty REG_SZ value of a key below HKEY_LOCAL_MACHINE, up to its first zero;
// nullopt when the key or value is missing, empty or not text.
std::optional<std::wstring> ReadMachineText(const std::wstring& path, const wchar_t* name);

// Network card 1's service name (NetworkCards\1, the card the store works on).
std::optional<std::wstring> FirstCardServiceName();

// The service names of the first `count` NetworkCards subkeys in the registry's order,
// the cards the tool numbers 1, 2, 3, ...; ends early at a card without a readable one.
std::vector<std::wstring> CardServiceNames(size_t count);
