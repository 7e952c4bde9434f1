#include "platform/ProgramLauncher.h"

#include <vector>

#include "platform/MessageWait.h"
#include "platform/ProgramStart.h"

std::optional<DWORD> RunAndWait(const std::wstring& path, const std::wstring& parameters,
                                const std::wstring& directory) {
    const WinBase::UniqueKernelHandle process = StartProgram(path, parameters, directory, ProgramWindow::Hidden);
    if (!process) return std::nullopt;

    if (!WaitDispatchingMessages(process.get())) return std::nullopt;
    DWORD status = STILL_ACTIVE;
    if (!::GetExitCodeProcess(process.get(), &status)) return std::nullopt;
    return status;
}

std::optional<DWORD> CProgramLauncher::RunAndWait(const std::wstring& file, const std::wstring& parameters,
                                                  const std::wstring& directory) {
    return ::RunAndWait(file, parameters, directory);
}

std::wstring CProgramLauncher::WindowsDirectory() const {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const UINT length = ::GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}
