#pragma once
#include <string>

#include "settings_snapshot/SnapshotHistory.h"

// "TarveloIP.exe /restore": the wizard without its entry page, putting back settings
// that either program saved.

enum class RestoreRequest {
    None,      // no "/restore": the wizard's pages
    Choose,    // "/restore": the restore page
    Original,  // "/restore original": the original of the newest snapshot's adapter
    Newest,    // "/restore newest": the newest snapshot
    Unknown,   // "/restore" with anything else
    File,      // a given snapshot file (the one an unfinished apply left)
};

// What the command line asks for ("/restore" and its word in any case).
RestoreRequest ReadRestoreRequest();

// Lists the trusted snapshots of the protected data folder (newest first) and puts back
// the one asked for: chosen on the restore page, or without it the original or the
// newest. A restore first saves what it overwrites (so it can be undone), refuses a
// file holding anything our programs do not save for this machine's adapters, and is
// all or nothing. Then one message box in Traditional Chinese: what was restored (time,
// adapter, what it holds; no file path) with the restart question, or why nothing was
// restored (no snapshot, cancelled, a failure). Records the outcome in the apply log.
// RestoreRequest::File restores the trusted snapshot with that path. Returns the exit
// status: 0 when restored, 1 otherwise.
int RunRestoreMode(RestoreRequest request, const std::wstring& file = std::wstring());
