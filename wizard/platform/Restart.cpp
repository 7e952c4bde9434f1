#include "platform/Restart.h"

#include "win_base/UniqueHandle.h"

namespace {

// The calling thread's last error, never ERROR_SUCCESS for a call that failed.
DWORD LastFailure() {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

}  // namespace

DWORD RestartComputer() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &rawToken)) return LastFailure();
    const WinBase::UniqueKernelHandle token(rawToken);

    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        return LastFailure();
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;

    // The call succeeds even when the privilege was not granted (ERROR_NOT_ALL_ASSIGNED);
    // only a clean status means it is enabled.
    ::SetLastError(ERROR_SUCCESS);
    if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr))
        return LastFailure();
    if (const DWORD adjusted = ::GetLastError(); adjusted != ERROR_SUCCESS) return adjusted;
    if (!::ExitWindowsEx(EWX_REBOOT, 1)) return LastFailure();
    return ERROR_SUCCESS;
}
