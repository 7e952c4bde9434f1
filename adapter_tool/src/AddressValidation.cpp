// Address validation of Adapset.
#include "AddressValidation.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads one address field at text: 1 to 3 digits, no leading zero, at most 255.
// Returns the position after it, or nullptr when there is no such field.
const char* ReadAddressField(const char* text) {
    if (!IsDigit(text[0])) return nullptr;
    if (text[0] == '0') return text + 1;  // "0" alone; a following digit fails later
    int value = 0;
    int digits = 0;
    while (IsDigit(*text) && digits < 3) {
        value = value * 10 + (*text - '0');
        ++text;
        ++digits;
    }
    return value <= 255 ? text : nullptr;
}

// Reads one dotted-decimal address at text; returns the position after it or nullptr.
const char* ReadAddress(const char* text) {
    for (int field = 0; field < 4; ++field) {
        if (field > 0) {
            if (*text != '.') return nullptr;
            ++text;
        }
        text = ReadAddressField(text);
        if (text == nullptr) return nullptr;
    }
    return text;
}

}  // namespace

bool IsIpv4Address(const char* text) {
    const char* end = ReadAddress(text);
    return end != nullptr && *end == '\0';
}

bool IsIpv4AddressList(const char* text) {
    if (*text == '\0') return true;
    for (;;) {
        text = ReadAddress(text);
        if (text == nullptr) return false;
        if (*text == '\0') return true;
        if (*text != ',') return false;
        ++text;
    }
}

unsigned long Ipv4NetworkOrder(const char* text) {
    if (!IsIpv4Address(text)) return 0xFFFFFFFFul;
    unsigned long address = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        unsigned long field = 0;
        while (IsDigit(*text)) field = field * 10 + static_cast<unsigned long>(*text++ - '0');
        address |= field << shift;
        if (*text == '.') ++text;
    }
    return address;
}
