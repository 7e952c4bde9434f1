#pragma once
#include <string>

// Conversions between the wizard's narrow ANSI texts, Unicode and UTF-8.

// ANSI text (the system's code page) as Unicode, the way the shell's ANSI calls
// convert it; empty when it cannot be converted.
std::wstring WidenAnsi(const std::string& text);

// Unicode text as UTF-8; empty when it cannot be converted.
std::string ToUtf8(const std::wstring& text);

// The number in decimal, with leading zeros up to `width` digits; without the C
// library's wide printf, which would add about 20 KB to the program.
std::wstring ZeroPadded(unsigned value, size_t width);
