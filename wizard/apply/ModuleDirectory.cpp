#include "apply/ModuleDirectory.h"

#include <windows.h>

std::string GetModuleDirectory() {
    char moduleName[MAX_PATH] = "";
    const DWORD nameLength = GetModuleFileNameA(nullptr, moduleName, MAX_PATH);
    if (nameLength == 0 || nameLength >= MAX_PATH) return {};

    // A path that does not fit is kept as the module name gave it.
    char fullPath[MAX_PATH] = "";
    const DWORD fullLength = GetFullPathNameA(moduleName, MAX_PATH, fullPath, nullptr);
    const std::string path = (fullLength > 0 && fullLength < MAX_PATH) ? fullPath : moduleName;

    const auto backslash = path.rfind('\\');
    return backslash == std::string::npos ? path : path.substr(0, backslash + 1);
}
