// Decimal numbers as text without the C library's wide printf, which would otherwise
// be linked into both programs for these few numbers.
#pragma once

#include <string>

namespace SettingsSnapshot {

// value in decimal, zero-padded to at least minDigits digits (at most 20).
inline std::wstring DecimalText(unsigned long long value, size_t minDigits = 1) {
    constexpr size_t kCapacity = 20;  // the digits of the largest 64-bit number
    wchar_t digits[kCapacity];
    size_t first = kCapacity;
    do {
        digits[--first] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (first > 0 && (value != 0 || kCapacity - first < minDigits));
    return std::wstring(digits + first, digits + kCapacity);
}

}  // namespace SettingsSnapshot
