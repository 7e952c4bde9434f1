#include "apply/LoggedRun.h"

#include "win_base/DecimalText.h"
#include "apply/NetworkShellCommands.h"

const wchar_t NetworkShellFile[] = L"netsh.exe";

std::optional<DWORD> RunLogged(IProgramLauncher& launcher, IApplyLog& log, const std::wstring& file,
                               const std::wstring& parameters, const std::wstring& directory) {
    // By full path, so that no program of that name elsewhere on the search path runs.
    const std::wstring path = directory + L"\\" + file;
    const std::optional<DWORD> status = launcher.RunAndWait(path, parameters, directory);
    log.Write(L"run " + path + L" " + parameters + L" (in " + directory + L"): " +
              (status ? L"exit status " + WinBase::DecimalText(*status)
                      : std::wstring(L"not started")));
    return status;
}

std::optional<DWORD> RunNetworkShell(IProgramLauncher& launcher, IApplyLog& log,
                                     const std::wstring& parameters) {
    const std::wstring directory = NetworkShellDirectory(launcher);
    const std::optional<DWORD> status = RunLogged(launcher, log, NetworkShellFile, parameters, directory);
    if (!status || *status == 0) return status;
    const std::optional<std::wstring> plain = NetworkShellCommands::WithoutValidation(parameters);
    if (!plain) return status;
    return RunLogged(launcher, log, NetworkShellFile, *plain, directory);
}

std::wstring NetworkShellDirectory(const IProgramLauncher& launcher) {
    return launcher.WindowsDirectory() + L"\\system32";
}
