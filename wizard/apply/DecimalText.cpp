#include "apply/DecimalText.h"

std::wstring ZeroPadded(unsigned value, size_t width) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + value % 10));
        value /= 10;
    } while (value != 0);
    if (digits.size() < width) digits.insert(0, width - digits.size(), L'0');
    return digits;
}
