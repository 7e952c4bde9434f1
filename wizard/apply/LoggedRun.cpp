#include "apply/LoggedRun.h"

#include "win_base/DecimalText.h"

const wchar_t NetworkShellFile[] = L"netsh.exe";

void RunLogged(IProgramLauncher& launcher, IApplyLog& log, const std::wstring& file,
               const std::wstring& parameters, const std::wstring& directory) {
    // By full path, so that no program of that name elsewhere on the search path runs.
    const std::wstring path = directory + L"\\" + file;
    const std::optional<DWORD> status = launcher.RunAndWait(path, parameters, directory);
    log.Write(L"run " + path + L" " + parameters + L" (in " + directory + L"): " +
              (status ? L"exit status " + WinBase::DecimalText(*status) : std::wstring(L"not started")));
}

std::wstring NetworkShellDirectory(const IProgramLauncher& launcher) {
    return launcher.WindowsDirectory() + L"\\system32";
}
