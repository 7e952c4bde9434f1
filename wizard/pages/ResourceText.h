#pragma once
#include <windows.h>

#include <string>

// A string of the program's own string table, as Unicode (so it reads right under any
// ANSI code page); empty when there is none.
std::wstring ResourceText(UINT id);
