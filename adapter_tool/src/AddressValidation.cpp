// Address validation of Adapset, on the shared IPv4 reader.
#include "AddressValidation.h"

#include <string_view>

#include "win_base/Ipv4Text.h"

bool IsIpv4Address(const char* text) {
    return WinBase::ParseIpv4(text).has_value();
}

bool IsIpv4AddressList(const char* text) {
    std::string_view rest(text);
    if (rest.empty()) return true;
    for (;;) {
        const size_t comma = rest.find(',');
        if (!WinBase::ParseIpv4(rest.substr(0, comma))) return false;
        if (comma == std::string_view::npos) return true;
        rest.remove_prefix(comma + 1);
    }
}

unsigned long Ipv4NetworkOrder(const char* text) {
    return WinBase::ParseIpv4(text).value_or(0xFFFFFFFFul);
}
