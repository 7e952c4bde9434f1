#include "settings_snapshot/KeyFilter.h"

#include <vector>

#include "NameCompare.h"

namespace SettingsSnapshot {
namespace {

std::vector<std::wstring> Components(const std::wstring& path) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find(L'\\', start);
        parts.push_back(path.substr(start, end - start));
        if (end == std::wstring::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

bool MatchesKeyPattern(const std::wstring& keyPath, const std::wstring& pattern) {
    const std::vector<std::wstring> path = Components(keyPath);
    const std::vector<std::wstring> wanted = Components(pattern);
    if (path.size() != wanted.size()) return false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i].empty()) return false;
        for (const wchar_t c : path[i])
            if (c < 0x20 || c == 0x7F) return false;
        if (wanted[i] != L"*" && !SameName(path[i], wanted[i])) return false;
    }
    return true;
}

}  // namespace SettingsSnapshot
