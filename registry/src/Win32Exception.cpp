#include "registry/Win32Exception.h"

#include <cstring>

#include "MessageChain.h"

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
    // As snprintf "Win32 error %lu" would write it (cut to the capacity), without the C
    // library's formatter, which adds about 40 KB to each program.
    char text[32] = "Win32 error ";
    size_t length = sizeof "Win32 error " - 1;
    char digits[12];
    int count = 0;
    for (DWORD rest = code; count == 0 || rest != 0; rest /= 10)
        digits[count++] = static_cast<char>('0' + rest % 10);
    while (count > 0) text[length++] = digits[--count];
    if (capacity == 0) return buffer;
    const size_t kept = length < capacity ? length : capacity - 1;
    std::memcpy(buffer, text, kept);
    buffer[kept] = '\0';
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
