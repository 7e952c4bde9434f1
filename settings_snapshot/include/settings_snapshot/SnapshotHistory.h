// The snapshots of the backup folder as each adapter's history: which adapter each one
// is of, and which one is the adapter's original (its settings before either program
// first changed it), kept whatever the number of later runs.
//
// Names: "<stamp>-<program tag><service>[-original][-N].reg", where the program tag is
// kToolTag or kWizardTag. The marker "-original" is written only by Save, into the
// protected folder, and counts only for a file that passes the folder's trust checks.
// The wizard's files from before adapters were named ("<stamp>-TarveloIP.reg") are of
// the adapter whose keys they hold. In a folder without any marked original of an
// adapter (one written before originals were marked), its oldest trusted snapshot is
// its original.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/Failure.h"
#include "settings_snapshot/RegistryCapture.h"
#include "settings_snapshot/SnapshotSave.h"

namespace SettingsSnapshot {

extern const wchar_t kToolTag[];    // "adapset-"
extern const wchar_t kWizardTag[];  // "TarveloIP-"

// One trusted snapshot file as the history sees it.
struct HistoryEntry {
    SnapshotFileEntry file;
    std::wstring service;   // the adapter it is of; "" when not known
    bool original = false;  // the adapter's original
};

// The first adapter service whose keys a snapshot file holds; "" when the file cannot
// be read or names no adapter key.
std::wstring ReadSnapshotService(const std::wstring& path);

// Tells the adapter of a wizard file whose name does not say it.
class ServiceReader {
public:
    virtual ~ServiceReader() = default;
    virtual std::wstring ServiceOf(const std::wstring& path) const = 0;
};

class SnapshotHistory {
public:
    // The reader, when given, must outlive the history; by default ReadSnapshotService.
    explicit SnapshotHistory(BackupFolder folder, const ServiceReader* reader = nullptr);

    const BackupFolder& Folder() const { return m_folder; }

    // Every trusted snapshot, newest write time first, with its adapter and each
    // adapter's original marked. Fails as BackupFolder::List; changes nothing.
    Outcome<std::vector<HistoryEntry>> List() const;

    // The newest `count` trusted snapshots that are no adapter's original, and every
    // original, newest write time first, as List() gives them; *older gets the number of
    // our files left out (not opened, so not known to be trusted). The files left out
    // are known by their names only: a folder of hundreds costs little more than one of
    // a few. Fails as List(); changes nothing.
    Outcome<std::vector<HistoryEntry>> ListNewest(size_t count, size_t* older) const;

    // Saves the bytes as the program's snapshot of the adapter, marked as its original
    // when no trusted snapshot of that adapter exists yet; then deletes the program's
    // snapshots beyond the newest `keep` (never an original, never the new one; old
    // files that cannot be deleted stay). Returns the new file's path; on failure
    // nothing is saved or deleted.
    Outcome<std::wstring> Save(const std::wstring& programTag, const std::wstring& service,
                               const std::vector<BYTE>& bytes,
                               size_t keep = BackupFolder::kDefaultKeep) const;

    // The adapter's original among the entries; nullptr when it has none.
    static const HistoryEntry* OriginalOf(const std::vector<HistoryEntry>& entries,
                                          const std::wstring& service);

private:
    // The files as history entries, each adapter's original marked among them.
    std::vector<HistoryEntry> Classify(std::vector<SnapshotFileEntry> files) const;
    // The history for Save over files listed by name: decided by the names, opening only
    // the originals found and the files marked as one to check them; over the trusted
    // files alone when one of those fails the checks. *counted gets the files pruning
    // may count: all of them, or the trusted ones alone after such a failure.
    std::vector<HistoryEntry> ClassifyForSave(const std::vector<SnapshotFileEntry>& named,
                                              std::vector<SnapshotFileEntry>* counted) const;

    BackupFolder m_folder;
    const ServiceReader* m_reader;
};

// SaveSnapshot through the history, in BackupFolder::Default(): captures the requested
// values and saves them as the program's snapshot of the adapter (its original when it
// is the first), then prunes the program's others, never an original. On failure no
// file is saved or deleted. Never writes the registry.
Outcome<SavedSnapshot, SaveFailure> SaveAdapterSnapshot(const std::vector<KeyRequest>& requests,
                                                        const std::wstring& programTag,
                                                        const std::wstring& service);
// The same in the given folder.
Outcome<SavedSnapshot, SaveFailure> SaveAdapterSnapshot(const BackupFolder& folder,
                                                        const std::vector<KeyRequest>& requests,
                                                        const std::wstring& programTag,
                                                        const std::wstring& service);

}  // namespace SettingsSnapshot
