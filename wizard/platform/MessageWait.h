#pragma once
#include <windows.h>

// Waits until the handle is signalled while the thread's windows keep working: sleeps
// until it is signalled or a message arrives, dispatches what arrived and waits again,
// so the windows stay painted and answering without burning the processor. A quit
// request seen meanwhile is put back once the wait is over, for the loop above. False
// when the wait itself failed.
bool WaitDispatchingMessages(HANDLE handle);
