#pragma once
#include <optional>
#include <string>
#include <vector>

#include "settings_snapshot/Failure.h"

// How far a way back got.
struct WayBackOutcome {
    // Why the snapshot could not be put back; then nothing else was done or changed.
    std::optional<SettingsSnapshot::Failure> notRestored;
    // The earlier live settings were not given to the network shell: the snapshot held
    // no usable address of the adapter, or one that is not strict dotted-decimal IPv4.
    bool liveSkipped = false;
    // The network shell runs (parameters) that could not be started or exited non-zero.
    std::vector<std::wstring> liveFailed;
    // Why the snapshot could not be put back over the shell's own writes.
    std::optional<SettingsSnapshot::Failure> notRestoredAgain;

    // Registry and live connection are as before the run.
    bool Complete() const { return !notRestored && !liveSkipped && liveFailed.empty() && !notRestoredAgain; }
};
