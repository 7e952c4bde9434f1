// The snapshot a configuration run saves before its first registry write, so that
// "Adapset /restore FILE" can put the settings back.
#pragma once

#include <string>
#include <vector>

#include "ConfigurationPlan.h"
#include "settings_snapshot/BackupFolder.h"

// Exit status of a run stopped because its snapshot could not be saved; above every
// other status of the tool.
constexpr int kSnapshotFailedStatus = 161;

// Captures every value of the plan as the registry holds it now (absent ones as
// absent) and saves it in the backup folder as "<time>-adapset-<service name>.reg",
// then keeps only the newest snapshots of the tool (never deleting the one just saved).
// Returns 0; or, when the snapshot
// cannot be saved, kSnapshotFailedStatus after one line "Cannot save the current
// settings: <path>" on standard output and the reason on standard error. Writes
// nothing to the registry either way.
// The first snapshot of an adapter is kept as its original. *savedPath, when given, gets
// the new file's path.
// The folder is BackupFolder::Default()'s outcome; when it is a failure, the save fails.
int SaveCurrentSettings(const SettingsSnapshot::Outcome<SettingsSnapshot::BackupFolder>& folder,
                        const std::vector<KeyWrites>& plan, const char* serviceName,
                        std::wstring* savedPath = nullptr);
