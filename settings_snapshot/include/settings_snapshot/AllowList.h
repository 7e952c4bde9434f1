// What a snapshot file may hold: a parsed file is accepted only when each of its keys
// and each of its values passes the caller's allow-list.
#pragma once
#include <optional>
#include <string>

#include "settings_snapshot/Snapshot.h"

namespace SettingsSnapshot {

class AllowList {
public:
    virtual ~AllowList() = default;
    // Empty when a section may name the key (below HKEY_LOCAL_MACHINE); otherwise why not.
    virtual std::optional<std::wstring> KeyFault(const std::wstring& keyPath) const = 0;
    // Empty when the key may hold the value (present with its type and bytes, or absent).
    virtual std::optional<std::wstring> ValueFault(const std::wstring& keyPath,
                                                   const SnapshotValue& value) const = 0;
};

}  // namespace SettingsSnapshot
