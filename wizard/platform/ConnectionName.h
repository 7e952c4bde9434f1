#pragma once
#include <optional>
#include <string>

// Network card 1's connection name as the network shell knows it ("乙太網路 2"): the
// card's service name from NetworkCards\1, then the Name value of the network class
// key's Connection subkey for that service, both read from the 64-bit registry view.
// nullopt when either is missing, empty, not text, or holds a double quote.
std::optional<std::wstring> ReadFirstCardConnectionName();
