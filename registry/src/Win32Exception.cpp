#include "registry/Win32Exception.h"

#include "MessageChain.h"
#include "win_base/DecimalText.h"

namespace BrenlowTools {
namespace Internal {

const char* FormatMessageChain(DWORD code, MessageLookup lookup, char* buffer, DWORD capacity) noexcept {
    DWORD current = code;
    for (int attempt = 0; attempt < kMaxMessageLookups; ++attempt) {
        DWORD failure = ERROR_SUCCESS;
        if (lookup(current, buffer, capacity, &failure)) return buffer;
        if (failure == current) break;  // the same code again cannot succeed
        current = failure;
    }
    static const char kPrefix[] = "Win32 error ";
    char digits[WinBase::kMaxDecimalDigits];
    const size_t first = WinBase::FillDecimal(code, 1, digits);
    DWORD used = 0;
    for (const char* p = kPrefix; *p != '\0' && used + 1 < capacity; ++p) buffer[used++] = *p;
    for (size_t i = first; i < WinBase::kMaxDecimalDigits && used + 1 < capacity; ++i)
        buffer[used++] = digits[i];
    if (capacity > 0) buffer[used] = '\0';
    return buffer;
}

}  // namespace Internal

namespace {

// One buffer per thread: a look-up on another thread cannot tear the text.
constexpr DWORD kTextCapacity = 512;
thread_local char t_messageText[kTextCapacity];

bool SystemLookup(DWORD code, char* buffer, DWORD capacity, DWORD* failure) {
    // Room for the terminating zero is kept back, as FormatMessageA counts without it.
    // There are no arguments: insert marks such as %1 stay in the text as they are.
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                       capacity - 1, nullptr) != 0) {
        return true;
    }
    *failure = GetLastError();
    return false;
}

}  // namespace

const char* FormatWin32Message(DWORD errorCode) noexcept {
    return Internal::FormatMessageChain(errorCode, SystemLookup, t_messageText, kTextCapacity);
}

const char* CWin32Exception::GetMessageText() const noexcept {
    return FormatWin32Message(m_errorCode);
}

int CWin32Exception::ShowMessageBox(HWND owner) const noexcept {
    return MessageBoxA(owner, GetMessageText(), m_location, MB_ICONERROR);
}

}  // namespace BrenlowTools
