// Decimal numbers as text without the C library's printf family, which would otherwise
// be linked into the programs (about 30 KB) for these few numbers.
#pragma once

#include <cstddef>
#include <string>

namespace WinBase {

constexpr size_t kMaxDecimalDigits = 20;  // the digits of the largest 64-bit number

// Writes value in decimal, zero-padded to at least minDigits digits (at most 20), at
// the end of digits; returns the position of its first digit. Never fails.
template <typename Char>
size_t FillDecimal(unsigned long long value, size_t minDigits, Char (&digits)[kMaxDecimalDigits]) noexcept {
    size_t first = kMaxDecimalDigits;
    do {
        digits[--first] = static_cast<Char>('0' + value % 10);
        value /= 10;
    } while (first > 0 && (value != 0 || kMaxDecimalDigits - first < minDigits));
    return first;
}

// value in decimal, zero-padded to at least minDigits digits (at most 20).
inline std::wstring DecimalText(unsigned long long value, size_t minDigits = 1) {
    wchar_t digits[kMaxDecimalDigits];
    return std::wstring(digits + FillDecimal(value, minDigits, digits), digits + kMaxDecimalDigits);
}

}  // namespace WinBase
