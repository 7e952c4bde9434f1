#include "platform/SiblingHandOff.h"

#include <cstdlib>

#include "apply/ModuleDirectory.h"
#include "platform/ShellOpen.h"
#include "apply/WideText.h"

const char SiblingInstaller[] = "tarvelo98.exe";

bool IsWindows9x() {
    return (::GetVersion() & 0x80000000u) != 0;
}

void HandOffToSibling(HWND owner) {
    // The process handle is not used; it is closed before the process ends.
    ShellOpen(owner, WidenAnsi(SiblingInstaller), std::wstring(), WidenAnsi(GetModuleDirectory()), SW_SHOW);
    std::exit(0);
}
