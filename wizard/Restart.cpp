#include "Restart.h"

#include <windows.h>

#include <memory>

namespace {
struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
}  // namespace

void RestartComputer() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &rawToken)) return;
    const std::unique_ptr<void, HandleCloser> token(rawToken);

    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;

    // The call succeeds even when the privilege was not granted; only a clean status
    // means it is enabled.
    ::SetLastError(ERROR_SUCCESS);
    if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr) ||
        ::GetLastError() != ERROR_SUCCESS)
        return;
    ::ExitWindowsEx(EWX_REBOOT, 1);
}
