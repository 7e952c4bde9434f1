// Registry opens refused for lack of rights (a command prompt that is not elevated).
// Each step of a run reports such a refusal with its exit status; whatever the run
// printed for it, at its end the tool adds one line on standard error telling the user
// how to get the rights.
#pragma once

#include <windows.h>

#include <cstdio>

// The line written once per run after a refused open, line feed included.
extern const char kElevationHint[];

// What a step of a run ends with: its exit status, and whether a registry open was
// refused for lack of rights on the way.
struct RunStatus {
    int exitStatus = 0;
    bool accessRefused = false;
};

// True when an open's status means access was refused.
bool IsAccessRefusal(LONG status);

// Writes kElevationHint to stream, after flushing standard output, when the run met a
// refused open; returns the run's exit status.
int FinishWithAccessHint(const RunStatus& run, FILE* stream);
