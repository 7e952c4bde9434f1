// The network adapters whose settings a snapshot holds.
#pragma once
#include <string>
#include <vector>

#include "settings_snapshot/Snapshot.h"

namespace SettingsSnapshot {

// The service names of the adapters whose adapter keys (per-service TCP/IP key,
// interface key) the snapshot holds, in file order, each once (compared without regard
// to case, spelled as first seen). Empty when it holds none.
std::vector<std::wstring> AdaptersNamedIn(const Snapshot& snapshot);

// The first value of this name (present or absent) in the service's adapter keys, in
// file order; null when neither key names it. Points into the snapshot.
const SnapshotValue* AdapterValueIn(const Snapshot& snapshot, const std::wstring& service,
                                    const std::wstring& name);

}  // namespace SettingsSnapshot
