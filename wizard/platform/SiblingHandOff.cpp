#include "platform/SiblingHandOff.h"

#include <cstdlib>

#include "apply/ModuleDirectory.h"
#include "platform/ShellOpen.h"
#include "win_base/TextConversion.h"

const char SiblingInstaller[] = "tarvelo98.exe";

bool IsWindows9x() {
    return (::GetVersion() & 0x80000000u) != 0;
}

void HandOffToSibling(HWND owner) {
    // The process handle is not used; it is closed before the process ends.
    ShellOpen(owner, WinBase::WideFromNarrow(SiblingInstaller), std::wstring(),
              WinBase::WideFromNarrow(GetModuleDirectory()), SW_SHOW);
    std::exit(0);
}
