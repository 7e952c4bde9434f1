// Matching key paths against patterns of key names.
#pragma once
#include <string>

namespace SettingsSnapshot {

// True when the path matches the pattern, component by component and without regard
// to case; a component "*" in the pattern matches any one component that holds no
// control character.
bool MatchesKeyPattern(const std::wstring& keyPath, const std::wstring& pattern);

}  // namespace SettingsSnapshot
