#include "apply/LoggedRun.h"

const wchar_t NetworkShellFile[] = L"netsh.exe";

void RunLogged(IProgramLauncher& launcher, IApplyLog& log, const std::wstring& file,
               const std::wstring& parameters, const std::wstring& directory) {
    const std::optional<DWORD> status = launcher.RunAndWait(file, parameters, directory);
    log.Write(L"run " + file + L" " + parameters + L" (in " + directory + L"): " +
              (status ? L"exit status " + std::to_wstring(*status) : std::wstring(L"not started")));
}

std::wstring NetworkShellDirectory(const IProgramLauncher& launcher) {
    return launcher.WindowsDirectory() + L"\\system32";
}
