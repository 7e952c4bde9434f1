#include "platform/ShellLauncher.h"

#include <vector>

#include "platform/MessageWait.h"
#include "platform/ShellOpen.h"

std::optional<DWORD> RunAndWait(HWND owner, const std::wstring& file, const std::wstring& parameters,
                                const std::wstring& directory) {
    const WinBase::UniqueKernelHandle process = ShellOpen(owner, file, parameters, directory, SW_HIDE);
    if (!process) return std::nullopt;

    if (!WaitDispatchingMessages(process.get())) return std::nullopt;
    DWORD status = STILL_ACTIVE;
    if (!::GetExitCodeProcess(process.get(), &status)) return std::nullopt;
    return status;
}

std::optional<DWORD> CShellLauncher::RunAndWait(const std::wstring& file, const std::wstring& parameters,
                                                const std::wstring& directory) {
    return ::RunAndWait(m_owner, file, parameters, directory);
}

std::wstring CShellLauncher::WindowsDirectory() const {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const UINT length = ::GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}
