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
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG status = RegQueryValueExW(m_key.get(), name, nullptr, &type, nullptr, &size);
    // The value may grow between the two reads; a few tries are enough.
    for (int attempt = 0; attempt < 4 && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA); ++attempt) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        status =
            RegQueryValueExW(m_key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
            const size_t units = got / sizeof(wchar_t);
            return std::wstring(buffer.data(), wcsnlen(buffer.data(), units));
        }
        size = got;
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
