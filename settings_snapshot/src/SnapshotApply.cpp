#include "settings_snapshot/SnapshotApply.h"

#include <algorithm>

#include "Win32Handles.h"

namespace SettingsSnapshot {
namespace {

bool HasPresentValues(const SnapshotKey& key) {
    return std::any_of(key.values.begin(), key.values.end(),
                       [](const SnapshotValue& v) { return v.present; });
}

// Sets the value to exactly its bytes. The registry counts a zero character right
// after string data as part of it; guard bytes that are not zero keep the size given.
LONG WriteValue(HKEY key, const SnapshotValue& value) {
    std::vector<BYTE> guarded(value.data);
    guarded.insert(guarded.end(), {0xFF, 0xFF});
    return RegSetValueExW(key, value.name.c_str(), 0, value.type, guarded.data(),
                          static_cast<DWORD>(value.data.size()));
}

}  // namespace

std::optional<Failure> ApplySnapshot(const Snapshot& snapshot) {
    // Every key first, so that a key we may not write stops the run before any change.
    std::vector<UniqueKey> keys;
    for (const SnapshotKey& key : snapshot.keys) {
        HKEY raw = nullptr;
        const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.path.c_str(), 0,
                                          KEY_SET_VALUE | KEY_QUERY_VALUE | KEY_WOW64_64KEY, &raw);
        if (opened == ERROR_FILE_NOT_FOUND && !HasPresentValues(key)) {
            keys.emplace_back();  // nothing to set, and nothing there to delete
            continue;
        }
        if (opened != ERROR_SUCCESS)
            return Failure{key.path, L"cannot open the key for writing", static_cast<DWORD>(opened)};
        keys.emplace_back(raw);
    }

    for (size_t k = 0; k < snapshot.keys.size(); ++k) {
        if (!keys[k]) continue;
        for (const SnapshotValue& value : snapshot.keys[k].values) {
            const std::wstring where = snapshot.keys[k].path + L"\\" + value.name;
            if (value.present) {
                const LONG status = WriteValue(keys[k].get(), value);
                if (status != ERROR_SUCCESS)
                    return Failure{where, L"cannot write the value", static_cast<DWORD>(status)};
            } else {
                const LONG status = RegDeleteValueW(keys[k].get(), value.name.c_str());
                if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
                    return Failure{where, L"cannot delete the value", static_cast<DWORD>(status)};
            }
        }
    }
    return std::nullopt;
}

}  // namespace SettingsSnapshot
