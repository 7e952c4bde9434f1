#pragma once
// Appends one record to the file named by an environment variable: the raw command
// line bytes, the working directory, then the Unicode command line as UTF-8, each on
// a line of its own.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

inline void AppendInvocationRecord(const char* logVariable) {
    const char* path = std::getenv(logVariable);
    if (path == nullptr || *path == '\0') return;
    FILE* log = std::fopen(path, "ab");
    if (log == nullptr) return;
    char directory[MAX_PATH * 4] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    const wchar_t* const wide = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    char* const utf8 = size > 0 ? static_cast<char*>(std::calloc(static_cast<size_t>(size), 1)) : nullptr;
    if (utf8 != nullptr) WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, size, nullptr, nullptr);
    std::fprintf(log, "cmdline=%s\ncwd=%s\nwcmdline=%s\n", GetCommandLineA(), directory,
                 utf8 != nullptr ? utf8 : "");
    std::free(utf8);
    std::fclose(log);
}
