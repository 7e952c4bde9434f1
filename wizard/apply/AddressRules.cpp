#include "apply/AddressRules.h"

#include <optional>

// The provider's name servers, in one place: TARVELO_DNS_PRIMARY and
// TARVELO_DNS_SECONDARY, set at configure time.
#include "ProviderDns.h"
#include "win_base/Ipv4Text.h"

const char FixedSubnetMask[] = "255.255.255.0";
const char GatewaySuffix[] = ".254";
const char ProviderDnsPrimary[] = TARVELO_DNS_PRIMARY;
const char ProviderDnsSecondary[] = TARVELO_DNS_SECONDARY;
const char ProviderDnsList[] = TARVELO_DNS_PRIMARY "," TARVELO_DNS_SECONDARY;

namespace {

// The text before the last dot; empty when there is none.
std::string WithoutLastField(const std::string& text) {
    const auto dot = text.rfind('.');
    return dot == std::string::npos ? std::string() : text.substr(0, dot);
}

}  // namespace

std::string ExtractThirdField(const std::string& addressText) {
    const std::string head = WithoutLastField(addressText);
    const auto dot = head.rfind('.');
    return dot == std::string::npos ? head : head.substr(dot + 1);
}

std::string DeriveGateway(const std::string& addressText) {
    return WithoutLastField(addressText) + GatewaySuffix;
}

bool IsStrictIpv4(const std::string& text) {
    return WinBase::ParseIpv4(text).has_value();
}

bool IsUsableHostAddress(const std::string& addressText) {
    const std::optional<uint32_t> address = WinBase::ParseIpv4(addressText);
    if (!address) return false;
    const unsigned first = WinBase::Ipv4Field(*address, 0), third = WinBase::Ipv4Field(*address, 2),
                   fourth = WinBase::Ipv4Field(*address, 3);
    return first >= 1 && first <= 223 && first != 127 && third != 0 && fourth >= 1 && fourth <= 253;
}

POINT CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return POINT{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
