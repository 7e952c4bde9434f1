// One registry key opened for reading in the 64-bit view (move-only, closed when the
// object goes), with the few reads the inventory needs.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "win_base/UniqueHandle.h"

namespace AdapterInventory {

class ReadOnlyKey {
public:
    // Opens path below parent with KEY_READ in the 64-bit view; returns the status and
    // holds the key only on success.
    LONG Open(HKEY parent, const std::wstring& path);

    HKEY Get() const { return m_key.get(); }

    // Subkey names in enumeration order; the walk ends at the first that cannot be read.
    std::vector<std::wstring> SubkeyNames() const;

    // A REG_SZ or REG_EXPAND_SZ value up to its first zero; nullopt when missing, of
    // another type or unreadable.
    std::optional<std::wstring> String(const wchar_t* name) const;

    // A REG_DWORD value; nullopt when missing, of another type or unreadable.
    std::optional<DWORD> Dword(const wchar_t* name) const;

private:
    WinBase::UniqueKey m_key;
};

}  // namespace AdapterInventory
