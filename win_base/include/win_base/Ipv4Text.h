// The one reader of IPv4 address text.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace WinBase {

// Strict dotted-decimal IPv4 ("192.168.5.254"): exactly four fields of 1 to 3 digits,
// each 0-255 without a leading zero (which other readers take for octal), nothing
// before, between or after them. Returns the address in network byte order (the first
// field in the lowest byte, as IPAddr and in_addr hold it); nullopt for anything else.
std::optional<uint32_t> ParseIpv4(std::string_view text);

// Field 0-3 of an address in network byte order (0 is the first one written).
constexpr unsigned Ipv4Field(uint32_t address, int field) {
    return (address >> (8 * field)) & 0xFFu;
}

}  // namespace WinBase
