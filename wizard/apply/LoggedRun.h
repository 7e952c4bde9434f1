#pragma once
#include <string>

#include "apply/ApplySequence.h"

// Runs one program, waits for it and logs it with its parameters, directory and exit
// status ("not started" when it could not be started); the outcome decides nothing.
void RunLogged(IProgramLauncher& launcher, IApplyLog& log, const std::wstring& file,
               const std::wstring& parameters, const std::wstring& directory);

// The network shell's file name and where it runs: the system directory.
extern const wchar_t NetworkShellFile[];
std::wstring NetworkShellDirectory(const IProgramLauncher& launcher);
