#pragma once
#include <windows.h>

#include "win_base/UniqueHandle.h"

// One wizard at a time: the first TarveloIP.exe of the session holds a named mutex for
// as long as it runs; a later one, in any mode, finds it held.
class CSingleInstance {
public:
    CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when no other wizard held the mutex when this one started.
    bool IsFirst() const { return m_first; }

    // Brings the other wizard's window that takes input (its page, or a message box it
    // shows) to the front, waiting up to a few seconds for one to appear; false when
    // none did.
    static bool BringOtherToFront();

private:
    WinBase::UniqueKernelHandle m_mutex;
    bool m_first = true;
};
