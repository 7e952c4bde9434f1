#pragma once
#include <windows.h>

#include "apply/ApplySequence.h"

// Enables the shutdown privilege in the program's own token and asks for a restart
// that is not forced. Returns ERROR_SUCCESS once the request is accepted, otherwise
// the Win32 error of the step that failed (nothing more is done then).
DWORD RestartComputer();

// The sequence's restart: RestartComputer above.
class CComputerRestart : public IRestart {
public:
    DWORD RestartComputer() override { return ::RestartComputer(); }
};
