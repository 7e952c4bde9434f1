#include "settings_snapshot/RegistryCapture.h"

#include <unordered_map>
#include <unordered_set>

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
// case), so that the file written from the snapshot can be read back.
std::vector<KeyRequest> Merged(const std::vector<KeyRequest>& requests) {
    std::vector<KeyRequest> merged;
    std::unordered_map<std::wstring, size_t> keyIndex;
    std::vector<std::unordered_set<std::wstring>> names;
    for (const KeyRequest& request : requests) {
        const auto [entry, added] = keyIndex.emplace(FoldedName(request.path), merged.size());
        if (added) {
            merged.push_back(KeyRequest{request.path, {}});
            names.emplace_back();
        }
        for (const std::wstring& name : request.valueNames)
            if (names[entry->second].insert(FoldedName(name)).second)
                merged[entry->second].valueNames.push_back(name);
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
