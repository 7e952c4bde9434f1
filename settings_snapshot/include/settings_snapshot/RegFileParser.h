// Reading back a snapshot file that our programs wrote (see RegFileFormat.h).
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

// Parses the file's bytes into a snapshot. Refuses, naming the line and the fault:
// a file that is too large, not UTF-16LE with a byte-order mark or without the
// header; a malformed line or unknown value syntax; an odd or invalid hex byte; a key
// or value name holding a control character (U+0000 included); a key or value named
// twice; a key not below HKEY_LOCAL_MACHINE; a key or value the allow-list refuses.
Outcome<Snapshot> ParseRegFile(const std::vector<BYTE>& bytes, const AllowList& allowed);

}  // namespace SettingsSnapshot
