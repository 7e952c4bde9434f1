#include "platform/ProgramStart.h"

#include <vector>

#include "apply/CommandLine.h"

WinBase::UniqueKernelHandle StartProgram(const std::wstring& path, const std::wstring& parameters,
                                         const std::wstring& directory, ProgramWindow window) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    const std::wstring line = CommandLine(path, parameters);
    std::vector<wchar_t> commandLine(line.begin(), line.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    DWORD flags = 0;
    if (window == ProgramWindow::Hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        flags |= CREATE_NO_WINDOW;  // ignored for a windowed program
    }
    PROCESS_INFORMATION started{};
    // The application name is given, so the command line's first word is never searched for.
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &started))
        return WinBase::UniqueKernelHandle();
    const WinBase::UniqueKernelHandle thread(started.hThread);
    return WinBase::UniqueKernelHandle(started.hProcess);
}
