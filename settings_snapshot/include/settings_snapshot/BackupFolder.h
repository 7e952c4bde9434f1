// The folder that keeps snapshot files, named "<yyyyMMdd-HHmmss>-<tag>.reg" by the
// local time of the save (a name already taken gets "-2", "-3", ... before ".reg").
// It is the Backups folder of the programs' data folder; both folders are created with
// the protected security and used only while neither is a link and both have a trusted
// owner. Only files with that name pattern and a trusted owner count.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "settings_snapshot/Failure.h"
#include "settings_snapshot/FolderSecurity.h"

namespace SettingsSnapshot {

// One snapshot file found in the folder.
struct SnapshotFileEntry {
    std::wstring path;   // full path
    std::wstring name;   // file name
    FILETIME written{};  // the file's own last write time
};

class BackupFolder {
public:
    static constexpr size_t kDefaultKeep = 20;

    // The Backups folder of a data folder, trusting the given owners; nothing is
    // created before a Save.
    BackupFolder(std::wstring dataFolder, TrustedOwners owners);
    // The same, trusting the owners this process trusts.
    explicit BackupFolder(std::wstring dataFolder);

    // TarveloDataFolder()'s Backups folder. Fails when that folder is not known.
    static Outcome<BackupFolder> Default();

    const std::wstring& Path() const { return m_path; }
    const std::wstring& DataFolder() const { return m_dataFolder; }
    const TrustedOwners& Owners() const { return m_owners; }

    // Creates the two folders when missing (with the protected security) and checks
    // both. Changes nothing else; the failure names the folder at fault.
    std::optional<Failure> PrepareFolders() const;

    // PrepareFolders(), then writes the bytes to a new file named for the time and tag,
    // never replacing a file; flushes it. Returns the file's path. On failure no file is
    // left behind and the failure names the intended path or the folder at fault.
    Outcome<std::wstring> Save(const std::wstring& tag, const std::vector<BYTE>& bytes,
                               const SYSTEMTIME& localTime) const;
    // The same with the current local time.
    Outcome<std::wstring> Save(const std::wstring& tag, const std::vector<BYTE>& bytes) const;
    // Save's writing alone, into folders PrepareFolders() has just checked.
    Outcome<std::wstring> SaveInPrepared(const std::wstring& tag, const std::vector<BYTE>& bytes,
                                         const SYSTEMTIME& localTime) const;

    // Our snapshot files whose tag starts with tagPrefix ("" for all), newest write time
    // first. A missing folder has none; a folder that fails the checks is a failure.
    Outcome<std::vector<SnapshotFileEntry>> List(const std::wstring& tagPrefix = L"") const;

    // Our files whose tag starts with tagPrefix, newest write time first, by their names
    // alone: no file is opened, so a file that IsTrustedFile would refuse is among them.
    // The folders are not checked either: meant for folders PrepareFolders() or a
    // listing has just checked. Changes nothing.
    std::vector<SnapshotFileEntry> NamedFiles(const std::wstring& tagPrefix = L"") const;
    // True when the file is a plain file (no link) with a trusted owner.
    bool IsTrustedFile(const SnapshotFileEntry& entry) const;
    // The files IsTrustedFile accepts, in their order (each one opened).
    std::vector<SnapshotFileEntry> TrustedAmong(std::vector<SnapshotFileEntry> files) const;

    // Deletes all but the newest `keep` of the files whose tag starts with tagPrefix,
    // never the file named `justSaved` (a run's own new snapshot) nor a pinned one (the
    // paths given; they are not counted either), and never a file IsTrustedFile refuses;
    // meant to follow a successful Save. The folders are checked first. Returns the
    // first failure (the other files are still deleted).
    //
    // The files are counted by name: the folder, checked on every run, lets only SYSTEM
    // and the administrators add one, and opening every kept file to check it again
    // would cost a run more than the rest of its snapshot work. Only the files due for
    // deletion are opened; when one of them is not trusted, pruning counts only the
    // trusted files (each one opened), as listing does.
    std::optional<Failure> Prune(const std::wstring& tagPrefix, const std::wstring& justSaved,
                                 size_t keep = kDefaultKeep,
                                 const std::vector<std::wstring>& pinned = {}) const;
    // Prune over `listed`, NamedFiles of folders just checked, taken before the save of
    // `justSaved`; the folders are not checked again.
    std::optional<Failure> PruneListed(const std::vector<SnapshotFileEntry>& listed,
                                       const std::wstring& tagPrefix, const std::wstring& justSaved,
                                       size_t keep = kDefaultKeep,
                                       const std::vector<std::wstring>& pinned = {}) const;

    // Checks the two folders in turn: false when one is missing (nothing to list), a
    // failure when one fails the checks. Changes nothing.
    Outcome<bool> FoldersExist() const;

private:
    // The file opened with READ_CONTROL and the access given (others may read it or
    // delete it meanwhile) when it is a plain file with a trusted owner; else none.
    OwnedHandle OpenTrusted(const SnapshotFileEntry& entry, DWORD access) const;
    std::wstring m_dataFolder;  // without a trailing backslash
    std::wstring m_path;        // m_dataFolder\Backups
    TrustedOwners m_owners;
};

}  // namespace SettingsSnapshot
