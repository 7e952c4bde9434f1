#include "win_base/ProcessHardening.h"

#include <windows.h>

namespace WinBase {

bool RestrictDllSearchToSystem() {
    // Looked up rather than imported, so that the program still starts where it is missing.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) return false;
    const auto set = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    return set != nullptr && set(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

}  // namespace WinBase
