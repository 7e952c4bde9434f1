#include "settings_snapshot/SnapshotAdapters.h"

#include <optional>

#include "NameCompare.h"
#include "settings_snapshot/AdapterKeys.h"

namespace SettingsSnapshot {

std::vector<std::wstring> AdaptersNamedIn(const Snapshot& snapshot) {
    std::vector<std::wstring> services;
    for (const SnapshotKey& key : snapshot.keys) {
        const std::optional<std::wstring> service = ServiceOfAdapterKey(key.path);
        if (!service) continue;
        bool seen = false;
        for (const std::wstring& known : services) seen = seen || SameName(known, *service);
        if (!seen) services.push_back(*service);
    }
    return services;
}

const SnapshotValue* AdapterValueIn(const Snapshot& snapshot, const std::wstring& service,
                                    const std::wstring& name) {
    for (const SnapshotKey& key : snapshot.keys) {
        const std::optional<std::wstring> keyService = ServiceOfAdapterKey(key.path);
        if (!keyService || !SameName(*keyService, service)) continue;
        for (const SnapshotValue& value : key.values)
            if (SameName(value.name, name)) return &value;
    }
    return nullptr;
}

}  // namespace SettingsSnapshot
