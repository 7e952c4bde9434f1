// The settings a run may change, as the registry held them: keys below
// HKEY_LOCAL_MACHINE, each with named values that either existed (exact type and
// bytes) or did not (and are to be deleted when the snapshot is put back).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace SettingsSnapshot {

struct SnapshotValue {
    std::wstring name;  // "" is the key's default value
    bool present = false;
    DWORD type = REG_NONE;   // meaningful only when present
    std::vector<BYTE> data;  // exact bytes, only when present

    static SnapshotValue Present(std::wstring name, DWORD type, std::vector<BYTE> data) {
        return SnapshotValue{std::move(name), true, type, std::move(data)};
    }
    static SnapshotValue Absent(std::wstring name) {
        return SnapshotValue{std::move(name), false, REG_NONE, {}};
    }

    bool operator==(const SnapshotValue& other) const {
        return name == other.name && present == other.present && type == other.type && data == other.data;
    }
};

struct SnapshotKey {
    std::wstring path;  // below HKEY_LOCAL_MACHINE, without a leading backslash
    std::vector<SnapshotValue> values;

    bool operator==(const SnapshotKey& other) const { return path == other.path && values == other.values; }
};

struct Snapshot {
    std::vector<SnapshotKey> keys;

    bool operator==(const Snapshot& other) const { return keys == other.keys; }
};

}  // namespace SettingsSnapshot
