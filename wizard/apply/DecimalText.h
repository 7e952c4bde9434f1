// Numbers in the wizard's texts without the C library's wide printf, which std::to_wstring
// would link into the program for these few numbers.
#pragma once

#include <string>

// value in decimal, zero-padded to at least minDigits digits (at most 20).
inline std::wstring WideDecimal(unsigned long long value, size_t minDigits = 1) {
    wchar_t digits[20];  // the digits of the largest 64-bit number
    size_t first = sizeof digits / sizeof digits[0];
    do {
        digits[--first] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (first > 0 && (value != 0 || sizeof digits / sizeof digits[0] - first < minDigits));
    return std::wstring(digits + first, digits + sizeof digits / sizeof digits[0]);
}
