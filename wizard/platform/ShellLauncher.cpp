#include "platform/ShellLauncher.h"

#include <vector>

#include "platform/ShellOpen.h"

namespace {

// Dispatches every message waiting in the thread's queue. A quit request is kept
// and put back once the wait is over, so the modal loop above still sees it.
void DispatchWaitingMessages(bool& quitSeen, WPARAM& quitCode) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitSeen = true;
            quitCode = message.wParam;
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace

std::optional<DWORD> RunAndWait(HWND owner, const std::wstring& file, const std::wstring& parameters,
                                const std::wstring& directory) {
    const UniqueHandle process = ShellOpen(owner, file, parameters, directory, SW_HIDE);
    if (!process) return std::nullopt;

    // Sleep until the program ends or a message arrives; dispatch what arrived and wait
    // again. The windows stay painted and responsive without burning the processor.
    HANDLE const handles[] = {process.get()};
    bool quitSeen = false;
    WPARAM quitCode = 0;
    for (;;) {
        const DWORD woken = ::MsgWaitForMultipleObjects(1, handles, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) break;  // ended, or the wait itself failed
        DispatchWaitingMessages(quitSeen, quitCode);
    }
    if (quitSeen) ::PostQuitMessage(static_cast<int>(quitCode));
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
