#pragma once
#include <windows.h>

#include <string>

// A string of the program's own string table, as Unicode (so it reads right under any
// ANSI code page); empty when there is none.
std::wstring ResourceText(UINT id);

// The string with its marks "%1" and "%2" (each once, when there) replaced.
std::wstring ResourceText(UINT id, const std::wstring& first, const std::wstring& second = std::wstring());
