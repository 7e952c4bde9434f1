#include "win_base/PrintableText.h"

namespace WinBase {
namespace {

const wchar_t kHexDigits[] = L"0123456789abcdef";

// Characters that reorder or break what is shown around them.
bool IsLayoutControl(wchar_t c) {
    return c == 0x200E || c == 0x200F || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::wstring PrintableText(const std::wstring& text) {
    std::wstring printable;
    printable.reserve(text.size());
    for (const wchar_t c : text) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            printable += L"\\x";
            printable += kHexDigits[(c >> 4) & 0xF];
            printable += kHexDigits[c & 0xF];
        } else if (IsLayoutControl(c)) {
            printable += L"\\u";
            for (int shift = 12; shift >= 0; shift -= 4) printable += kHexDigits[(c >> shift) & 0xF];
        } else {
            printable += c;
        }
    }
    return printable;
}

}  // namespace WinBase
