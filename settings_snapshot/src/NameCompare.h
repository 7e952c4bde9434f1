// Registry names compare without regard to case.
#pragma once
#include <windows.h>

#include <string>

namespace SettingsSnapshot {

inline bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace SettingsSnapshot
