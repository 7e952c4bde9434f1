#include "settings_snapshot/RegistryCapture.h"

#include <algorithm>

#include "NameCompare.h"
#include "win_base/UniqueHandle.h"

namespace SettingsSnapshot {
namespace {

// Size of the first read of a value: the values a snapshot holds fit, so one query
// reads each of them instead of a size query and a read.
constexpr DWORD kFirstReadBytes = 512;

// Reads one value exactly into *value; ERROR_FILE_NOT_FOUND when it does not exist.
LONG ReadValue(HKEY key, const std::wstring& name, SnapshotValue* value) {
    DWORD size = kFirstReadBytes;
    for (;;) {
        value->data.resize(size);
        const LONG status =
            RegQueryValueExW(key, name.c_str(), nullptr, &value->type, value->data.data(), &size);
        if (status == ERROR_MORE_DATA) continue;  // size now says how much it holds (it may grow again)
        if (status != ERROR_SUCCESS) return status;
        value->data.resize(size);
        value->present = true;
        return ERROR_SUCCESS;
    }
}

// The requests with each key and each value name once (names compare without regard to
// case), so that the file written from the snapshot can be read back. The requests are
// a handful of keys and values: a plain search does.
std::vector<KeyRequest> Merged(const std::vector<KeyRequest>& requests) {
    std::vector<KeyRequest> merged;
    std::vector<std::wstring> keys;                // folded, as merged
    std::vector<std::vector<std::wstring>> names;  // folded, per merged key
    for (const KeyRequest& request : requests) {
        const std::wstring folded = FoldedName(request.path);
        const size_t at = std::find(keys.begin(), keys.end(), folded) - keys.begin();
        if (at == keys.size()) {
            keys.push_back(folded);
            merged.push_back(KeyRequest{request.path, {}});
            names.emplace_back();
        }
        for (const std::wstring& name : request.valueNames) {
            std::wstring foldedName = FoldedName(name);
            if (std::find(names[at].begin(), names[at].end(), foldedName) != names[at].end()) continue;
            names[at].push_back(std::move(foldedName));
            merged[at].valueNames.push_back(name);
        }
    }
    return merged;
}

}  // namespace

Outcome<Snapshot> CaptureSnapshot(const std::vector<KeyRequest>& requests) {
    Snapshot snapshot;
    for (const KeyRequest& request : Merged(requests)) {
        HKEY raw = nullptr;
        const LONG opened =
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, request.path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &raw);
        if (opened == ERROR_FILE_NOT_FOUND) continue;
        if (opened != ERROR_SUCCESS)
            return Failure{request.path, L"cannot open the key for reading", static_cast<DWORD>(opened)};
        const WinBase::UniqueKey key(raw);

        SnapshotKey captured{request.path, {}};
        for (const std::wstring& name : request.valueNames) {
            if (name.find_first_of(L"\r\n") != std::wstring::npos)
                return Failure{request.path, L"a value name holds a line break"};
            SnapshotValue value = SnapshotValue::Absent(name);
            const LONG read = ReadValue(key.get(), name, &value);
            if (read == ERROR_FILE_NOT_FOUND) {
                value = SnapshotValue::Absent(name);
            } else if (read != ERROR_SUCCESS) {
                return Failure{request.path + L"\\" + name, L"cannot read the value",
                               static_cast<DWORD>(read)};
            }
            captured.values.push_back(std::move(value));
        }
        snapshot.keys.push_back(std::move(captured));
    }
    return snapshot;
}

}  // namespace SettingsSnapshot
