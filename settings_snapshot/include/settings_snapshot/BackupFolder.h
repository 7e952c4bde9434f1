// The folder that keeps snapshot files, named "<yyyyMMdd-HHmmss>-<tag>.reg" by the
// local time of the save (a name already taken gets "-2", "-3", ... before ".reg").
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "settings_snapshot/Failure.h"

namespace SettingsSnapshot {

// One snapshot file found in the folder.
struct SnapshotFileEntry {
    std::wstring path;   // full path
    std::wstring name;   // file name
    std::wstring stamp;  // "yyyyMMdd-HHmmss"
    unsigned counter;    // 1, or the "-N" a taken name got
};

class BackupFolder {
public:
    static constexpr size_t kDefaultKeep = 20;

    // A folder by its full path; nothing is created before a Save.
    explicit BackupFolder(std::wstring path);

    // TarveloDataFolder() followed by \Backups. Fails when that folder is not known.
    static Outcome<BackupFolder> Default();

    const std::wstring& Path() const { return m_path; }

    // Creates the folder (and missing parents) and writes the bytes to a new file named
    // for the time and tag, never replacing a file; flushes it. Returns the file's path.
    // On failure no file is left behind and the failure names the intended path.
    Outcome<std::wstring> Save(const std::wstring& tag, const std::vector<BYTE>& bytes,
                               const SYSTEMTIME& localTime) const;
    // The same with the current local time.
    Outcome<std::wstring> Save(const std::wstring& tag, const std::vector<BYTE>& bytes) const;

    // The snapshot files whose tag starts with tagPrefix ("" for all), newest first.
    // A missing folder has none.
    std::vector<SnapshotFileEntry> List(const std::wstring& tagPrefix = L"") const;

    // Deletes all but the newest `keep` files of List(tagPrefix); meant to follow a
    // successful Save. Returns the first file that could not be deleted (the others
    // are still deleted).
    std::optional<Failure> Prune(const std::wstring& tagPrefix, size_t keep = kDefaultKeep) const;

private:
    std::wstring m_path;  // without a trailing backslash
};

}  // namespace SettingsSnapshot
