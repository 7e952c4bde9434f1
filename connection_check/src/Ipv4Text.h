#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace ConnectionCheck {

// Strict dotted-decimal IPv4 ("192.168.5.254"): four fields 0-255, no leading zeros;
// the address in network byte order, as IPAddr and in_addr hold it.
std::optional<uint32_t> ParseIpv4(const std::string& text);

}  // namespace ConnectionCheck
