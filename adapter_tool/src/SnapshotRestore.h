// "Adapset /restore": puts back a snapshot that the tool or the wizard saved, or lists
// the snapshots of the backup folder.
#pragma once

#include <string>

#include "AccessRefusal.h"
#include "AdapterNumbers.h"

// Exit status of a restore refused because the file is not one of our snapshots
// (ERROR_BAD_FORMAT).
constexpr int kForeignSnapshotStatus = 11;

// Reads the snapshot file (a link at its name is not followed), refuses it
// (kForeignSnapshotStatus, one line naming the file and the line at fault) unless every
// key and value is one our programs save, for the adapters of this machine's
// NetworkCards (as the adapter inventory reads them), then writes
// each value back or deletes it, all or nothing as a configuration run, and notifies
// the DHCP client for each adapter it restores with the restored address and mask.
// Before writing, saves the values it overwrites as a snapshot of their own (by the rules
// of every snapshot; kSnapshotFailedStatus with nothing written when it cannot).
// Returns 0 after one line "Settings restored from <file>" and one naming that undo
// snapshot; a file that cannot be read
// gives its Win32 error; a key that refuses gives what a configuration run gives, with
// nothing written; a write that fails midway puts the earlier values back and gives its
// error; a failed notification 29, the restored values staying. The status tells
// whether an open was refused for lack of rights.
RunStatus RestoreSnapshot(const std::wstring& file);

// Prints our snapshot files of the backup folder, newest first, after a line naming the
// folder: each with its write time, whether it is its adapter's original, the adapter
// (connection and service name) and, on the next line, its full path. Returns 0, or
// kSnapshotFailedStatus when the folder is a link or not owned by a trusted owner.
// The adapters are named as the table knows them.
int ListSnapshots(const AdapterTable& table);

// Restores the original snapshot of the adapter (a number, service or connection name,
// as a configuration run takes it) as RestoreSnapshot does; ERROR_FILE_NOT_FOUND with
// one line when the adapter has none.
RunStatus RestoreOriginal(const char* adapterName, const std::wstring& wideName, const AdapterTable& table);
