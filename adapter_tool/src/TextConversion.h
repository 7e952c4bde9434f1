// Adapset works in narrow text of the ANSI code page; the snapshot and inventory
// libraries and the console in UTF-16.
// These convert at that boundary.
#pragma once

#include <string>

// The ANSI text as UTF-16; empty when it cannot be converted.
std::wstring WideFromAnsi(const char* text);

// The UTF-16 text in the ANSI code page (characters it lacks become '?').
std::string AnsiFromWide(const std::wstring& text);

// The UTF-16 text in the given code page (characters it lacks become its default character).
std::string NarrowFromWide(const std::wstring& text, unsigned codePage);
