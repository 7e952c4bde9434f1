#include "ShellLauncher.h"

#include <shellapi.h>

#include <memory>
#include <vector>

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

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

void RunAndWait(HWND owner, const std::string& file, const std::string& parameters,
                const std::string& directory) {
    SHELLEXECUTEINFOA request{};
    request.cbSize = sizeof request;
    // The shell's own error report stays on: it is the user's only sign of a missing program.
    request.fMask = SEE_MASK_NOCLOSEPROCESS;
    request.hwnd = owner;
    request.lpVerb = "open";
    request.lpFile = file.c_str();
    request.lpParameters = parameters.c_str();
    request.lpDirectory = directory.c_str();
    request.nShow = SW_HIDE;
    if (::ShellExecuteExA(&request) != TRUE || request.hProcess == nullptr) return;
    const UniqueHandle process(request.hProcess);

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
}

void CShellLauncher::RunAndWait(const std::string& file, const std::string& parameters,
                                const std::string& directory) {
    ::RunAndWait(m_owner, file, parameters, directory);
}

std::string CShellLauncher::WindowsDirectory() const {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const UINT length = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
}
