#pragma once
#include <windows.h>

#include <string>

#include "win_base/UniqueHandle.h"

// How a started program's window is shown.
enum class ProgramWindow {
    Hidden,  // no window at all: SW_HIDE, and no console for a console program
    Shown,   // as the program itself chooses
};

// Starts the program at its full path with CreateProcessW, never through the shell and
// its file associations: the command line is the path quoted, then the parameters
// (see apply/CommandLine.h); the working directory is the one given. Returns the
// started process, or an empty handle with GetLastError() set when none was started.
WinBase::UniqueKernelHandle StartProgram(const std::wstring& path, const std::wstring& parameters,
                          const std::wstring& directory, ProgramWindow window);
