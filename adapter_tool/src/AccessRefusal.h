// Registry opens refused for lack of rights (a command prompt that is not elevated).
// Whatever the run printed for them, at its end the tool adds one line on standard
// error telling the user how to get the rights.
#pragma once

#include <windows.h>

#include <cstdio>

// The line written once per run after a refused open, line feed included.
extern const char kElevationHint[];

// Remembers whether an open's status means access was refused; returns the status
// unchanged so it can wrap the call.
LONG NoteOpenStatus(LONG status);

// Writes kElevationHint to stream, after flushing standard output, when an open was
// refused; returns exitStatus unchanged.
int FinishWithAccessHint(int exitStatus, FILE* stream);
