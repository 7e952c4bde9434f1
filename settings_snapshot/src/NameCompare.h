// Registry names compare without regard to case.
#pragma once
#include <windows.h>

#include <string>

namespace SettingsSnapshot {

inline bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// The name in one case, for sets of names that must not repeat.
inline std::wstring FoldedName(const std::wstring& name) {
    std::wstring folded(name);
    if (!folded.empty())
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.c_str(), static_cast<int>(name.size()),
                      folded.data(), static_cast<int>(folded.size()), nullptr, nullptr, 0);
    return folded;
}

}  // namespace SettingsSnapshot
