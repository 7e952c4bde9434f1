// Writing a snapshot as a Registry Editor 5 file, the way the platform's registry
// editor exports it, so that the platform's own import puts every value back exactly.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "settings_snapshot/Snapshot.h"

namespace SettingsSnapshot {

extern const wchar_t kRegFileHeader[];  // "Windows Registry Editor Version 5.00"

// The file's text: header, one [HKEY_LOCAL_MACHINE\...] section per key, each present
// value as its exact type and bytes (a quoted string for a REG_SZ text with its one
// terminating zero and no other zero or control character, '\' and '"' escaped;
// "dword:" for a 4-byte REG_DWORD, "hex:" for REG_BINARY, "hex(n):" otherwise), "=-"
// for an absent one; CRLF line ends, long hex data wrapped at 80 columns with ",\" and
// a two-space indent.
std::wstring FormatRegText(const Snapshot& snapshot);

// The file's bytes: UTF-16LE with a byte-order mark.
std::vector<BYTE> EncodeRegFile(const Snapshot& snapshot);

}  // namespace SettingsSnapshot
