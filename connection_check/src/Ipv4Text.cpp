#include "Ipv4Text.h"

namespace ConnectionCheck {

std::optional<uint32_t> ParseIpv4(const std::string& text) {
    uint8_t bytes[4] = {};
    size_t at = 0;
    for (int field = 0; field < 4; ++field) {
        if (field > 0) {
            if (at >= text.size() || text[at] != '.') return std::nullopt;
            ++at;
        }
        const size_t start = at;
        unsigned value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 3)
            value = value * 10 + static_cast<unsigned>(text[at++] - '0');
        const size_t digits = at - start;
        if (digits == 0 || value > 255 || (digits > 1 && text[start] == '0')) return std::nullopt;
        bytes[field] = static_cast<uint8_t>(value);
    }
    if (at != text.size()) return std::nullopt;
    // Network byte order: the first field in the lowest byte in memory.
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace ConnectionCheck
