// Reading the current values of keys below HKEY_LOCAL_MACHINE into a snapshot.
#pragma once
#include <string>
#include <vector>

#include "settings_snapshot/Failure.h"
#include "settings_snapshot/Snapshot.h"

namespace SettingsSnapshot {

// One key and the names of the values a run may change in it.
struct KeyRequest {
    std::wstring path;  // below HKEY_LOCAL_MACHINE
    std::vector<std::wstring> valueNames;
};

// Reads each requested value exactly (64-bit view, Unicode calls, nothing re-encoded).
// A missing value is recorded as absent; a missing key is left out; a key or value
// requested twice is captured once. Fails on any other open or read error, or on a
// value name with a line break (a file cannot hold it). Changes nothing.
Outcome<Snapshot> CaptureSnapshot(const std::vector<KeyRequest>& requests);

}  // namespace SettingsSnapshot
