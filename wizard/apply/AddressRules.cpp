#include "apply/AddressRules.h"

#include <array>

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

namespace {

// The value of one address field: 1 to 3 decimal digits, no leading zero (which
// other readers of the text would take for octal), at most 255; -1 otherwise.
int FieldValue(const std::string& field) {
    if (field.empty() || field.size() > 3 || (field.size() > 1 && field[0] == '0')) return -1;
    int value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value <= 255 ? value : -1;
}

// The four field values of a strict dotted-decimal address; false when it is none.
bool ReadFields(const std::string& addressText, std::array<int, 4>& fields) {
    size_t start = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const size_t dot = addressText.find('.', start);
        const bool last = i + 1 == fields.size();
        // Exactly three dots: the last field runs to the end, the others to a dot.
        if (last != (dot == std::string::npos)) return false;
        fields[i] = FieldValue(addressText.substr(start, last ? std::string::npos : dot - start));
        if (fields[i] < 0) return false;
        start = dot + 1;
    }
    return true;
}

}  // namespace

bool IsStrictIpv4(const std::string& text) {
    std::array<int, 4> fields{};
    return ReadFields(text, fields);
}

bool IsUsableHostAddress(const std::string& addressText) {
    std::array<int, 4> fields{};
    if (!ReadFields(addressText, fields)) return false;
    const int first = fields[0], third = fields[2], fourth = fields[3];
    return first >= 1 && first <= 223 && first != 127 && third != 0 && fourth >= 1 && fourth <= 253;
}

POINT CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return POINT{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
