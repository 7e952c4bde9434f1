// The text a captured or parsed value holds.
#pragma once
#include <string>
#include <vector>

#include "settings_snapshot/Snapshot.h"

namespace SettingsSnapshot {

// The strings of a present REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ value: a single text up
// to its first zero (or its end), a list's entries up to the first empty one. Empty for
// an absent value, another type or an empty text; an odd last byte is ignored.
std::vector<std::wstring> ValueTexts(const SnapshotValue& value);

}  // namespace SettingsSnapshot
