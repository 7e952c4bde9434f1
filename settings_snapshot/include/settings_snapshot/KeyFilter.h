// Which keys a snapshot file may name: a parsed file is accepted only when each of its
// keys passes the caller's filter.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace SettingsSnapshot {

// True when a key path (below HKEY_LOCAL_MACHINE) may be written.
using KeyFilter = std::function<bool(const std::wstring& keyPath)>;

// True when the path matches the pattern, component by component and without regard
// to case; a component "*" in the pattern matches any one component.
bool MatchesKeyPattern(const std::wstring& keyPath, const std::wstring& pattern);

// A filter that allows exactly the paths matching one of the patterns.
KeyFilter AllowKeys(std::vector<std::wstring> patterns);

}  // namespace SettingsSnapshot
