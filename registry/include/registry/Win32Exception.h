#pragma once
// Exceptions that carry a Win32 error code and the library operation that failed.
#include <windows.h>

namespace BrenlowTools {

// Returns the system's text for a Win32 error code, insert marks (%1) left as they
// are. When the system has no text, the text for the reason the look-up failed is
// returned instead; a short chain of such look-ups is tried before falling back to a
// fixed text naming the code. The text lives in a per-thread buffer that the next
// call on the same thread overwrites. Never raises.
const char* FormatWin32Message(DWORD errorCode) noexcept;

// A failure of a Win32 call made inside the library: where it happened and its code.
// Small, immutable and copied by value; the location string is stored, not copied,
// and must outlive the exception (the library passes only string literals).
class CWin32Exception {
public:
    // Stores the location pointer and the error code. Never raises.
    CWin32Exception(const char* location, DWORD errorCode) noexcept
        : m_location(location), m_errorCode(errorCode) {}
    virtual ~CWin32Exception() = default;

    // The location string given at construction. Never raises.
    const char* GetLocation() const noexcept { return m_location; }
    // The Win32 error code given at construction. Never raises.
    DWORD GetErrorCode() const noexcept { return m_errorCode; }
    // The system's text for the error code (FormatWin32Message; same buffer rules).
    virtual const char* GetMessageText() const noexcept;
    // Shows the message text in an error box captioned with the location; returns
    // what MessageBoxA returned (0 when no box could be shown). Never raises.
    int ShowMessageBox(HWND owner) const noexcept;

private:
    const char* m_location;
    DWORD m_errorCode;
};

}  // namespace BrenlowTools
