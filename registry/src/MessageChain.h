#pragma once
// The bounded chain of message look-ups behind FormatWin32Message, kept apart so the
// bound can be checked with a look-up that always fails.
#include <windows.h>

namespace BrenlowTools::Internal {

// Writes the text for code into buffer (capacity chars) and returns true, or returns
// false and stores the reason of the failure in *failure.
using MessageLookup = bool (*)(DWORD code, char* buffer, DWORD capacity, DWORD* failure);

// At most this many look-ups per call: the code, the reason its look-up failed, ...
constexpr int kMaxMessageLookups = 4;

// Looks up code; on failure looks up the failure's code instead, up to
// kMaxMessageLookups times or until a code repeats. When every look-up fails, the
// buffer gets "Win32 error <code>" for the original code. Returns buffer.
const char* FormatMessageChain(DWORD code, MessageLookup lookup, char* buffer, DWORD capacity) noexcept;

}  // namespace BrenlowTools::Internal
