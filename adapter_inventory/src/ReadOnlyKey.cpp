// Reading one registry key for the inventory.
#include "ReadOnlyKey.h"

#include <cwchar>

namespace AdapterInventory {

LONG ReadOnlyKey::Open(HKEY parent, const std::wstring& path) {
    return RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, m_key.put());
}

std::vector<std::wstring> ReadOnlyKey::SubkeyNames() const {
    std::vector<std::wstring> names;
    wchar_t name[256];  // a key name has at most 255 characters
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(sizeof name / sizeof name[0]);
        if (RegEnumKeyExW(m_key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::optional<std::wstring> ReadOnlyKey::String(const wchar_t* name) const {
    // The texts read here fit the first buffer, so one query reads each; a longer one
    // gets a buffer of the size reported (it may grow between reads: a few tries).
    constexpr size_t kFirstReadUnits = 128;
    std::vector<wchar_t> buffer(kFirstReadUnits + 1, L'\0');  // the last unit stays 0
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = REG_NONE;
        DWORD got = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        const LONG status =
            RegQueryValueExW(m_key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return std::nullopt;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        if (status == ERROR_SUCCESS)
            return std::wstring(buffer.data(), wcsnlen(buffer.data(), got / sizeof(wchar_t)));
        buffer.assign(got / sizeof(wchar_t) + 2, L'\0');
    }
    return std::nullopt;
}

std::optional<DWORD> ReadOnlyKey::Dword(const wchar_t* name) const {
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(m_key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

}  // namespace AdapterInventory
