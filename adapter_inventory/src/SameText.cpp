// Case-insensitive comparison of names.
#include "SameText.h"

#include <windows.h>

#include "adapter_inventory/AdapterInventory.h"

namespace AdapterInventory {

namespace {

// The text upper-cased by the invariant locale (which keeps the length of the text).
std::wstring Upper(const std::wstring& text) {
    std::wstring upper(text);
    if (!upper.empty())
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.c_str(), static_cast<int>(text.size()),
                     &upper[0], static_cast<int>(upper.size()));
    return upper;
}

}  // namespace

bool SameText(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && Upper(a) == Upper(b);
}

bool SameServiceName(const std::wstring& a, const std::wstring& b) {
    return SameText(a, b);
}

}  // namespace AdapterInventory
