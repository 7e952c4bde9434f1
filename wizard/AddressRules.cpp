#include "AddressRules.h"

#include <mbstring.h>

// The provider's name servers, in one place: TARVELO_DNS_PRIMARY and
// TARVELO_DNS_SECONDARY, set at configure time.
#include "ProviderDns.h"

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

bool DerivationApplies(const std::string& addressText) {
    const std::string third = ExtractThirdField(addressText);
    return _mbscmp(reinterpret_cast<const unsigned char*>(third.c_str()),
                   reinterpret_cast<const unsigned char*>("0")) != 0;
}

POINT CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return POINT{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
