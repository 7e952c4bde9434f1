#pragma once
#include <optional>
#include <string>

#include "apply/ApplySequence.h"

// Runs one program, waits for it and logs it with its parameters, directory and exit
// status ("not started" when it could not be started). Returns that status; nullopt
// when it could not be started.
std::optional<DWORD> RunLogged(IProgramLauncher& launcher, IApplyLog& log, const std::wstring& file,
                               const std::wstring& parameters, const std::wstring& directory);

// Runs the network shell from the system directory with the parameters, logged; a DNS
// command that exits non-zero with "validate=no" is run once more without it (older
// Windows versions do not have the parameter). The last run's status, nullopt when it
// could not be started.
std::optional<DWORD> RunNetworkShell(IProgramLauncher& launcher, IApplyLog& log,
                                     const std::wstring& parameters);

// The network shell's file name and where it runs: the system directory.
extern const wchar_t NetworkShellFile[];
std::wstring NetworkShellDirectory(const IProgramLauncher& launcher);
