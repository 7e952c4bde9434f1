// Owners of the Win32 handles the library opens.
#pragma once
#include <windows.h>

#include <memory>
#include <type_traits>

namespace SettingsSnapshot {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

struct FileCloser {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
// Holds a file handle; construct only from a valid one (not INVALID_HANDLE_VALUE).
using UniqueFile = std::unique_ptr<void, FileCloser>;

struct FindCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

}  // namespace SettingsSnapshot
