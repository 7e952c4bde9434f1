#include "settings_snapshot/ValueText.h"

namespace SettingsSnapshot {

std::vector<std::wstring> ValueTexts(const SnapshotValue& value) {
    std::vector<std::wstring> texts;
    if (!value.present || (value.type != REG_SZ && value.type != REG_EXPAND_SZ && value.type != REG_MULTI_SZ))
        return texts;
    std::wstring current;
    for (size_t at = 0; at + 1 < value.data.size(); at += 2) {
        const wchar_t unit = static_cast<wchar_t>(value.data[at] | value.data[at + 1] << 8);
        if (unit != L'\0') {
            current += unit;
            continue;
        }
        if (current.empty()) return texts;
        texts.push_back(std::move(current));
        current.clear();
        if (value.type != REG_MULTI_SZ) return texts;
    }
    if (!current.empty()) texts.push_back(std::move(current));
    return texts;
}

}  // namespace SettingsSnapshot
