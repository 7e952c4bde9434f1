#pragma once
#include <windows.h>

#include <string>

#include "win_base/UniqueHandle.h"

// Starts a file through the shell with the "open" verb, owned by the window, in the
// directory and with the show command given. The shell's own error report stays on:
// it is the user's only sign of a missing program. Returns the started process, or
// an empty handle when the shell started none.
WinBase::UniqueKernelHandle ShellOpen(HWND owner, const std::wstring& file, const std::wstring& parameters,
                                      const std::wstring& directory, int showCommand);
