// Putting a snapshot's values back into the registry, all or nothing.
#pragma once
#include <optional>

#include "settings_snapshot/Failure.h"
#include "settings_snapshot/Snapshot.h"

namespace SettingsSnapshot {

// Opens every key of the snapshot for writing and reads every value it names first
// (64-bit view; keys are never created). When a key cannot be opened, or is missing
// while it has values to set, or a value cannot be read, or a name holds U+0000,
// writes nothing and names the key and the Win32 error. Then sets each present value
// with its exact type and bytes and deletes each absent one (already missing is fine).
// When a write fails, the values read before are put back and the failure names the
// value. Empty on success.
std::optional<Failure> ApplySnapshot(const Snapshot& snapshot);

}  // namespace SettingsSnapshot
