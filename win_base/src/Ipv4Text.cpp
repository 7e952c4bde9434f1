#include "win_base/Ipv4Text.h"

namespace WinBase {

std::optional<uint32_t> ParseIpv4(std::string_view text) {
    uint32_t address = 0;
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
        address |= static_cast<uint32_t>(value) << (8 * field);
    }
    if (at != text.size()) return std::nullopt;
    return address;
}

}  // namespace WinBase
