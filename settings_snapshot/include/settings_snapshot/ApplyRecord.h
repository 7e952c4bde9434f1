// The record of an apply that has started and not yet ended, kept in the protected
// data folder so that the next start of the program finds an apply that was cut off
// (power lost, process ended) and can offer to put the settings back.
#pragma once
#include <optional>
#include <string>

#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/Failure.h"

namespace SettingsSnapshot {

// What an unfinished apply left behind: the adapter and the snapshot saved before it.
struct UnfinishedApply {
    std::wstring service;
    std::wstring snapshotPath;  // a file of the backup folder
};

class ApplyRecord {
public:
    // The record of one program ("TarveloIP", "adapset") beside the folder's Backups;
    // the folder must outlive the record.
    ApplyRecord(const BackupFolder& folder, const std::wstring& program);

    const std::wstring& Path() const { return m_path; }

    // Records that an apply for the adapter, from the snapshot file (one of the backup
    // folder's, just saved: the save has checked the folders), has started, replacing any
    // record left behind. The file is written whole and flushed, or not at all; the
    // failure names it.
    std::optional<Failure> Start(const std::wstring& service, const std::wstring& snapshotPath) const;
    // Start, keeping the record open for End; closing the handle leaves the record.
    Outcome<OwnedHandle> Begin(const std::wstring& service, const std::wstring& snapshotPath) const;
    // Removes the record Begin returned, through its handle (no path is looked up again).
    std::optional<Failure> End(OwnedHandle record) const;
    // Removes the record; no record is no failure.
    std::optional<Failure> Clear() const;
    // The record left behind: nullopt when there is none; a failure (never to be used)
    // when it is a link, has an untrusted owner or folder, cannot be read, or does not
    // hold an adapter and a snapshot name of ours. Changes nothing.
    Outcome<std::optional<UnfinishedApply>> Find() const;

private:
    const BackupFolder& m_folder;
    std::wstring m_path;
};

}  // namespace SettingsSnapshot
