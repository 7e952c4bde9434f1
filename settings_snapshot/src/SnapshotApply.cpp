#include "settings_snapshot/SnapshotApply.h"

#include <algorithm>

#include "win_base/UniqueHandle.h"

namespace SettingsSnapshot {
namespace {

bool HasPresentValues(const SnapshotKey& key) {
    return std::any_of(key.values.begin(), key.values.end(),
                       [](const SnapshotValue& v) { return v.present; });
}

// A name the registry would read as something else (cut at U+0000).
bool HoldsNul(const std::wstring& name) {
    return name.find(L'\0') != std::wstring::npos;
}

// Sets the value to exactly its bytes. The registry counts a zero character right
// after string data as part of it; guard bytes that are not zero keep the size given.
LONG WriteValue(HKEY key, const SnapshotValue& value) {
    std::vector<BYTE> guarded(value.data);
    guarded.insert(guarded.end(), {0xFF, 0xFF});
    return RegSetValueExW(key, value.name.c_str(), 0, value.type, guarded.data(),
                          static_cast<DWORD>(value.data.size()));
}

// Puts one value as the snapshot says: set, or deleted (already missing is fine).
LONG PutValue(HKEY key, const SnapshotValue& value) {
    if (value.present) return WriteValue(key, value);
    const LONG status = RegDeleteValueW(key, value.name.c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

// The value as the registry holds it now; absent when it does not exist.
LONG ReadValue(HKEY key, const std::wstring& name, SnapshotValue* value) {
    *value = SnapshotValue::Absent(name);
    for (;;) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
        if (status != ERROR_SUCCESS) return status;
        std::vector<BYTE> data(size);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
        if (status != ERROR_SUCCESS) return status;
        data.resize(size);
        *value = SnapshotValue::Present(name, type, std::move(data));
        return ERROR_SUCCESS;
    }
}

struct Change {
    HKEY key;
    const std::wstring* path;
    const SnapshotValue* wanted;
    SnapshotValue before;
};

}  // namespace

std::optional<Failure> ApplySnapshot(const Snapshot& snapshot) {
    // Every key opened and every value read first, so that a key we may not write or a
    // value we cannot read stops the run before any change.
    std::vector<WinBase::UniqueKey> keys;
    std::vector<Change> changes;
    for (const SnapshotKey& key : snapshot.keys) {
        if (HoldsNul(key.path)) return Failure{L"", L"a key name holds a zero character"};
        HKEY raw = nullptr;
        const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.path.c_str(), 0,
                                          KEY_SET_VALUE | KEY_QUERY_VALUE | KEY_WOW64_64KEY, &raw);
        if (opened == ERROR_FILE_NOT_FOUND && !HasPresentValues(key)) continue;  // nothing there to delete
        if (opened != ERROR_SUCCESS)
            return Failure{key.path, L"cannot open the key for writing", static_cast<DWORD>(opened)};
        keys.emplace_back(raw);
        for (const SnapshotValue& value : key.values) {
            if (HoldsNul(value.name)) return Failure{key.path, L"a value name holds a zero character"};
            Change change{raw, &key.path, &value, {}};
            const LONG read = ReadValue(raw, value.name, &change.before);
            if (read != ERROR_SUCCESS)
                return Failure{key.path + L"\\" + value.name, L"cannot read the value",
                               static_cast<DWORD>(read)};
            changes.push_back(std::move(change));
        }
    }

    for (size_t i = 0; i < changes.size(); ++i) {
        const LONG status = PutValue(changes[i].key, *changes[i].wanted);
        if (status == ERROR_SUCCESS) continue;
        // Put back what this run changed, last change first.
        for (size_t back = i + 1; back-- > 0;) PutValue(changes[back].key, changes[back].before);
        return Failure{*changes[i].path + L"\\" + changes[i].wanted->name,
                       changes[i].wanted->present
                           ? L"cannot write the value; the values before it were put back"
                           : L"cannot delete the value; the values before it were put back",
                       static_cast<DWORD>(status)};
    }
    return std::nullopt;
}

}  // namespace SettingsSnapshot
