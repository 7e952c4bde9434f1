// What one run of Adapset does, read from its command line and the adapter table.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "AdapterNumbers.h"
#include "Parameters.h"
#include "Refusal.h"
#include "StaticSettings.h"

// The first argument that restores a snapshot instead of configuring.
extern const char kRestoreSwitch[];
// After "/restore", restores an adapter's original.
extern const char kOriginalWord[];

// The first argument that checks the connection instead of configuring.
extern const char kCheckSwitch[];

// What a run does once the arguments are read.
enum RunAction { kShowUsage, kRefuse, kConfigure, kListSnapshots, kRestore, kRestoreOriginal, kCheck };

// The outcome of reading the command line: the action, the eight parameters after
// defaulting (kCheck: the adapter name only), the validated settings (kConfigure), the
// service name to check (kCheck; none when the name locates no adapter) and the
// refusal (kRefuse).
struct RunDecision {
    RunAction action = kShowUsage;
    const char* parameters[kParameterCount] = {};
    std::optional<StaticSettings> settings;
    std::optional<std::string> checkedService;
    Refusal refusal;
};

// Reads the command line into a decision: show the usage (no arguments, or an adapter
// number out of range), refuse (bad settings come before the adapter number is looked
// at), or configure. "/restore" (any case) first lists the snapshots, "/restore FILE"
// restores the second argument, "/restore original ADAPTER" that adapter's original;
// other arguments after it are refused. "/check NAME" (any
// case) checks the adapter NAME locates, as configuring locates it (a number out of
// range locates none); any other count of arguments after it is refused.
// wideArguments[i] is arguments[i] as UTF-16 from the wide command line, so that a
// connection name is matched whatever the code page lacks; where missing or empty, the
// narrow argument is converted.
RunDecision DecideRun(int argumentCount, const char* const* arguments, const AdapterTable& table,
                      const std::vector<std::wstring>& wideArguments = {});
