// DLLs loaded from the system directory only, never from the program's folder, the
// current directory or the search path, where anyone who can write there could plant one.
#pragma once
#include <windows.h>

#include "win_base/UniqueHandle.h"

namespace WinBase {

// Loads the named DLL (a bare file name) from the system directory
// (LOAD_LIBRARY_SEARCH_SYSTEM32, or its full path where the loader lacks that flag).
// Returns an empty owner when it cannot be loaded (GetLastError tells why).
UniqueLibrary LoadSystemLibrary(const wchar_t* name);

// A system library bound at run time for as long as the object lives, so that no
// program imports it.
class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* name) : m_module(LoadSystemLibrary(name)) {}

    bool Loaded() const { return static_cast<bool>(m_module); }

    // The entry point as a function pointer of type F; nullptr when the library or the
    // entry point is missing.
    template <typename F>
    F Entry(const char* name) const {
        return m_module ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m_module.get(), name)))
                        : nullptr;
    }

private:
    UniqueLibrary m_module;
};

}  // namespace WinBase
