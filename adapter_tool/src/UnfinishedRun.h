// The record of a configuration run that has started writing and not yet ended, so
// that a run cut off midway is found by the next "Adapset" without arguments.
#pragma once

#include <string>

#include "settings_snapshot/BackupFolder.h"

// Records, before the run's first registry write, that it configures the service and
// saved the snapshot first. Returns 0; or kSnapshotFailedStatus, with one line saying
// why, when the record cannot be written (the run then writes nothing).
// The record is kept beside the folder; *record gets it, open for EndUnfinishedRun.
int StartUnfinishedRun(const SettingsSnapshot::BackupFolder& folder, const char* serviceName,
                       const std::wstring& snapshotPath, SettingsSnapshot::OwnedHandle* record);

// Removes the record once the run's writes are done; a record that cannot be removed
// is reported on standard error.
void EndUnfinishedRun(const SettingsSnapshot::BackupFolder& folder, SettingsSnapshot::OwnedHandle record);

// When a run did not finish, says so on standard output with the adapter and how to
// put back the settings from before it; a record that cannot be used is reported in
// one sentence and not used. Prints nothing when there is none.
void ReportUnfinishedRun();
