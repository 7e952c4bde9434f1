// Registry opens refused for lack of rights (a command prompt that is not elevated).
// The tool keeps its usual messages and exit status for those cases; at the end of
// the run it adds one line on standard error telling the user how to get the rights.
#pragma once

#include <windows.h>

#include <cstdio>

// The line written once per run after a refused open, line feed included.
extern const char kElevationHint[];

// Remembers whether an open's status means access was refused; returns the status
// unchanged so it can wrap the call.
LONG NoteOpenStatus(LONG status);

// True once any noted open was refused.
bool AccessWasRefused();

// Forgets earlier refusals (a new run in the same process).
void ForgetAccessRefusals();

// Writes kElevationHint to stream, after flushing standard output, when an open was
// refused; returns exitStatus unchanged.
int FinishWithAccessHint(int exitStatus, FILE* stream);
