// One registry key opened for reading in the 64-bit view, closed when the object goes,
// with the few reads the inventory needs.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace AdapterInventory {

class ReadOnlyKey {
public:
    ReadOnlyKey() = default;
    ~ReadOnlyKey() {
        if (m_key != nullptr) RegCloseKey(m_key);
    }
    ReadOnlyKey(ReadOnlyKey&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}
    ReadOnlyKey& operator=(ReadOnlyKey&& other) noexcept {
        std::swap(m_key, other.m_key);
        return *this;
    }
    ReadOnlyKey(const ReadOnlyKey&) = delete;
    ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

    // Opens path below parent with KEY_READ in the 64-bit view; returns the status and
    // holds the key only on success.
    LONG Open(HKEY parent, const std::wstring& path);

    HKEY Get() const { return m_key; }

    // Subkey names in enumeration order; the walk ends at the first that cannot be read.
    std::vector<std::wstring> SubkeyNames() const;

    // A REG_SZ or REG_EXPAND_SZ value up to its first zero; nullopt when missing, of
    // another type or unreadable.
    std::optional<std::wstring> String(const wchar_t* name) const;

    // A REG_DWORD value; nullopt when missing, of another type or unreadable.
    std::optional<DWORD> Dword(const wchar_t* name) const;

private:
    HKEY m_key = nullptr;
};

}  // namespace AdapterInventory
