#include "SiblingHandOff.h"

#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "ModuleDirectory.h"

const char SiblingInstaller[] = "tarvelo98.exe";

bool IsWindows9x() {
    return (::GetVersion() & 0x80000000u) != 0;
}

void HandOffToSibling(HWND owner) {
    const std::string directory = GetModuleDirectory();
    SHELLEXECUTEINFOA request{};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOCLOSEPROCESS;  // no SEE_MASK_FLAG_NO_UI: the shell reports failures itself
    request.hwnd = owner;
    request.lpVerb = "open";
    request.lpFile = SiblingInstaller;
    request.lpParameters = "";
    request.lpDirectory = directory.c_str();
    request.nShow = SW_SHOW;
    ::ShellExecuteExA(&request);
    std::exit(0);
}
