// Reading back a snapshot file that our programs wrote (see RegFileFormat.h), or that
// the registry editor exported holding only what the allow-list accepts.
#pragma once
#include <windows.h>

#include <cstddef>
#include <vector>

#include "settings_snapshot/Failure.h"
#include "settings_snapshot/AllowList.h"
#include "settings_snapshot/Snapshot.h"

namespace SettingsSnapshot {

// Far above any snapshot of our programs (a few kilobytes); larger files are refused.
constexpr size_t kMaxRegFileBytes = 1024 * 1024;

// Parses the file's bytes into a snapshot; values may take any of the registry
// editor's forms ("-", a quoted string with '\' and '"' escaped, "dword:", "hex:",
// "hex(n):"), each read whole before the allow-list is asked about it. Refuses, naming
// the line and the fault: a file that is too large, not UTF-16LE with a byte-order mark
// or without the header; a malformed line or unknown value syntax; an odd or invalid hex
// byte; a quoted value unclosed, followed by text, with another escape or a zero
// character; a key or value name holding a control character (U+0000 included); a key
// or value named twice; a key not below HKEY_LOCAL_MACHINE; a key or value the
// allow-list refuses (by its name).
Outcome<Snapshot> ParseRegFile(const std::vector<BYTE>& bytes, const AllowList& allowed);

}  // namespace SettingsSnapshot
