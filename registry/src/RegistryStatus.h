#pragma once
// Helpers shared by the library's sources.
#include <windows.h>

#include "registry/RegistryKey.h"

namespace BrenlowTools::Internal {

// Raises CRegistryKey::Exception(location, status) unless status is ERROR_SUCCESS.
inline void Check(LONG status, const char* location) {
    if (status != ERROR_SUCCESS) throw CRegistryKey::Exception(location, static_cast<DWORD>(status));
}

// A key handle that no CRegistryKey owns, closed when the scope ends.
class ScopedRawKey {
public:
    ScopedRawKey() = default;
    ScopedRawKey(const ScopedRawKey&) = delete;
    ScopedRawKey& operator=(const ScopedRawKey&) = delete;
    ~ScopedRawKey() {
        if (m_key != nullptr) RegCloseKey(m_key);
    }
    HKEY* Out() noexcept { return &m_key; }
    HKEY Get() const noexcept { return m_key; }

private:
    HKEY m_key = nullptr;
};

}  // namespace BrenlowTools::Internal
