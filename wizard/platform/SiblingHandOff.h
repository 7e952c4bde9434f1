#pragma once
#include <windows.h>

// File name of the installer that takes over on Windows 95, 98 and Me.
extern const char SiblingInstaller[];

// True when the system is Windows 95, 98 or Me (top bit of GetVersion set).
bool IsWindows9x();

// Starts the sibling installer by its full path in the program's own directory, with
// that directory as working directory; when it cannot be started, says so in a message
// box owned by the window. Then ends the process with status 0 whatever the outcome.
[[noreturn]] void HandOffToSibling(HWND owner);
