#include "registry/CountedHandle.h"

namespace BrenlowTools {

CCountedHandle* CCountedHandle::AddRef() noexcept {
    InterlockedIncrement(&m_count);
    return this;
}

CCountedHandle* CCountedHandle::Release() noexcept {
    if (InterlockedDecrement(&m_count) == 0) {
        try {
            Close();
        } catch (...) {
            // A holder that cannot close still has to go away.
        }
        delete this;
    }
    return nullptr;
}

void CCountedRegKey::Close() {
    RegCloseKey(GetHandle());
}

}  // namespace BrenlowTools
