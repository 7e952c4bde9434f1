// What one run of Adapset does, read from its command line and the adapter table.
#pragma once

#include <optional>
#include <string>

#include "AdapterNumbers.h"
#include "Parameters.h"
#include "Refusal.h"
#include "StaticSettings.h"

// The first argument that restores a snapshot instead of configuring.
extern const char kRestoreSwitch[];
// After it, restores an adapter's original.
extern const char kOriginalWord[];

// What a run does once the arguments are read.
enum RunAction { kShowUsage, kRefuse, kConfigure, kListSnapshots, kRestore, kRestoreOriginal };

// The outcome of reading the command line: the action, the eight parameters after
// defaulting, the validated settings (kConfigure) and the refusal (kRefuse).
struct RunDecision {
    RunAction action = kShowUsage;
    const char* parameters[kParameterCount] = {};
    std::optional<StaticSettings> settings;
    Refusal refusal;
};

// Reads the command line into a decision: show the usage (no arguments, or an adapter
// number out of range), refuse (bad settings come before the adapter number is looked
// at), or configure. "/restore" (any case) first lists the snapshots, "/restore FILE"
// restores the second argument, "/restore original ADAPTER" that adapter's original;
// other arguments after it are refused. firstArgument is
// arguments[0] as UTF-16 from the wide command line, so that a connection name is
// matched whatever the code page lacks; when empty, arguments[0] is converted.
RunDecision DecideRun(int argumentCount, const char* const* arguments, const AdapterTable& table,
                      const std::wstring& firstArgument = std::wstring());
