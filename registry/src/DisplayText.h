#pragma once
// The text shown for a value: shared by CRegistryKey::Value and the value iterator.
#include <windows.h>

#include <memory>

namespace BrenlowTools::Internal {

// REG_SZ, REG_EXPAND_SZ: the text; REG_MULTI_SZ: its first string (never reading past
// size, terminated even when the bytes are not); number types: "A number"; any other
// type: each byte as two lowercase hexadecimal digits. Raises std::bad_alloc.
std::unique_ptr<char[]> MakeDisplayText(DWORD type, const BYTE* data, DWORD size);

}  // namespace BrenlowTools::Internal
