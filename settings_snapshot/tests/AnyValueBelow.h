// An allow-list for tests of the file format and of apply: any value in the keys that
// match one pattern, so that every type and size can be read back.
#pragma once
#include <string>

#include "settings_snapshot/AllowList.h"
#include "settings_snapshot/KeyFilter.h"

class AnyValueBelow : public SettingsSnapshot::AllowList {
public:
    explicit AnyValueBelow(std::wstring pattern) : m_pattern(std::move(pattern)) {}
    std::optional<std::wstring> KeyFault(const std::wstring& keyPath) const override {
        if (SettingsSnapshot::MatchesKeyPattern(keyPath, m_pattern)) return std::nullopt;
        return L"key outside the allowed locations";
    }
    std::optional<std::wstring> ValueFault(const std::wstring&,
                                           const SettingsSnapshot::SnapshotValue&) const override {
        return std::nullopt;
    }

private:
    std::wstring m_pattern;
};
