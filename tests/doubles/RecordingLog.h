#pragma once
// Appends one record to the file named by an environment variable: the raw command
// line bytes, then the working directory, each on a line of its own.
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
    std::fprintf(log, "cmdline=%s\ncwd=%s\n", GetCommandLineA(), directory);
    std::fclose(log);
}
