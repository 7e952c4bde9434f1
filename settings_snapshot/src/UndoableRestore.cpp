#include "settings_snapshot/UndoableRestore.h"

#include <optional>
#include <vector>

#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/RegFileFormat.h"
#include "settings_snapshot/RegistryCapture.h"
#include "settings_snapshot/SnapshotApply.h"

namespace SettingsSnapshot {

Outcome<std::wstring> SaveUndoSnapshot(const SnapshotHistory& history, const std::wstring& programTag,
                                       const Snapshot& snapshot) {
    std::optional<std::wstring> service;
    std::vector<KeyRequest> requests;
    for (const SnapshotKey& key : snapshot.keys) {
        if (!service) service = ServiceOfAdapterKey(key.path);
        KeyRequest request{key.path, {}};
        for (const SnapshotValue& value : key.values) request.valueNames.push_back(value.name);
        requests.push_back(std::move(request));
    }
    if (!service) return Failure{L"", L"the snapshot names no adapter key"};
    const Outcome<Snapshot> current = CaptureSnapshot(requests);
    if (!current) return current.Error();
    return history.Save(programTag, *service, EncodeRegFile(current.Value()));
}

Outcome<std::wstring> RestoreUndoably(const SnapshotHistory& history, const std::wstring& programTag,
                                      const Snapshot& snapshot) {
    const Outcome<std::wstring> undo = SaveUndoSnapshot(history, programTag, snapshot);
    if (!undo) return undo;
    if (std::optional<Failure> failure = ApplySnapshot(snapshot)) return *failure;
    return undo;
}

}  // namespace SettingsSnapshot
