// Snapshot files on disk: written whole or not at all, read back bounded in size.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "settings_snapshot/Failure.h"
#include "settings_snapshot/FolderSecurity.h"

namespace SettingsSnapshot {

// Creates the file (failing with ERROR_FILE_EXISTS when it exists: never replaces one),
// writes all bytes and flushes them. On failure deletes what it created; the failure
// names the path. A link or junction at the path is refused, never followed.
// Empty on success.
std::optional<Failure> WriteNewFile(const std::wstring& path, const std::vector<BYTE>& bytes);
// The same, returning the file still open with the extra access given (DELETE: to
// remove it later through the handle); closing the handle leaves the file.
Outcome<OwnedHandle> WriteNewFileKeptOpen(const std::wstring& path, const std::vector<BYTE>& bytes,
                                          DWORD extraAccess);

// The whole file; fails (naming the path) when it cannot be read or is larger than
// kMaxRegFileBytes, or is a link, junction or second name of another file.
Outcome<std::vector<BYTE>> ReadSnapshotFile(const std::wstring& path);

}  // namespace SettingsSnapshot
