#include "platform/MessageWait.h"

namespace {

// Dispatches every message waiting in the thread's queue; a quit request is kept.
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

bool WaitDispatchingMessages(HANDLE handle) {
    HANDLE const handles[] = {handle};
    bool quitSeen = false;
    WPARAM quitCode = 0;
    DWORD woken = WAIT_FAILED;
    for (;;) {
        woken = ::MsgWaitForMultipleObjects(1, handles, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) break;  // signalled, or the wait itself failed
        DispatchWaitingMessages(quitSeen, quitCode);
    }
    if (quitSeen) ::PostQuitMessage(static_cast<int>(quitCode));
    return woken == WAIT_OBJECT_0;
}
