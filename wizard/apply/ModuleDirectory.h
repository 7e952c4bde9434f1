#pragma once
#include <string>

// Directory of the running program with its trailing backslash (ANSI code page);
// empty when the program path does not fit in MAX_PATH characters.
std::string GetModuleDirectory();
