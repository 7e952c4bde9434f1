// Owners of the Win32 handles the library opens (files: OwnedHandle, FolderSecurity.h).
#pragma once
#include <windows.h>

#include <memory>
#include <type_traits>

namespace SettingsSnapshot {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

struct FindCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

}  // namespace SettingsSnapshot
