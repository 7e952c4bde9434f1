#include "settings_snapshot/SnapshotRestore.h"

#include <utility>

#include "settings_snapshot/AdapterAllowList.h"
#include "settings_snapshot/RegFileParser.h"
#include "settings_snapshot/SnapshotAdapters.h"
#include "settings_snapshot/SnapshotApply.h"
#include "settings_snapshot/SnapshotFile.h"
#include "settings_snapshot/UndoableRestore.h"

namespace SettingsSnapshot {

Outcome<RestoredSnapshot, RestoreFailure> RestoreAdapterSnapshot(const std::wstring& path,
                                                                 std::vector<std::wstring> services,
                                                                 const wchar_t* undoProgramTag) {
    const Outcome<std::vector<BYTE>> bytes = ReadSnapshotFile(path);
    if (!bytes) {
        // A file read whole but too large is a fault of its content, not of the reading.
        const RestoreStage stage =
            bytes.Error().error == ERROR_SUCCESS ? RestoreStage::Content : RestoreStage::Read;
        return RestoreFailure{stage, bytes.Error()};
    }
    Outcome<Snapshot> parsed = ParseRegFile(bytes.Value(), AdapterAllowList(std::move(services)));
    if (!parsed) {
        Failure failure = parsed.Error();
        failure.subject = path;
        return RestoreFailure{RestoreStage::Content, std::move(failure)};
    }
    RestoredSnapshot restored{std::move(parsed.Value()), {}, {}};
    restored.adapters = AdaptersNamedIn(restored.snapshot);
    if (restored.adapters.empty())
        return RestoreFailure{RestoreStage::Content, Failure{path, L"it names no adapter key"}};
    if (undoProgramTag != nullptr) {
        const Outcome<BackupFolder> folder = BackupFolder::Default();
        if (!folder) return RestoreFailure{RestoreStage::Undo, folder.Error()};
        const Outcome<std::wstring> undo =
            SaveUndoSnapshot(SnapshotHistory(folder.Value()), undoProgramTag, restored.snapshot);
        if (!undo) return RestoreFailure{RestoreStage::Undo, undo.Error()};
        restored.undoPath = undo.Value();
    }
    if (std::optional<Failure> failure = ApplySnapshot(restored.snapshot))
        return RestoreFailure{RestoreStage::Apply, std::move(*failure)};
    return restored;
}

}  // namespace SettingsSnapshot
