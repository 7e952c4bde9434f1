#pragma once
// Helpers shared by the library's sources.
#include <windows.h>

#include "registry/RegistryKey.h"

namespace BrenlowTools::Internal {

// Raises CRegistryKey::Exception(location, status) unless status is ERROR_SUCCESS.
inline void Check(LONG status, const char* location) {
    if (status != ERROR_SUCCESS) throw CRegistryKey::Exception(location, static_cast<DWORD>(status));
}

}  // namespace BrenlowTools::Internal
