#pragma once
#include <windows.h>

// A library of the system directory, loaded only when a check runs (so neither program
// imports the socket or IP Helper libraries), freed when the object goes.
class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* name);
    ~SystemLibrary();
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // The entry point as a function pointer of type F; nullptr when the library or the
    // entry point is missing.
    template <typename F>
    F Entry(const char* name) const {
        return m_module == nullptr
                   ? nullptr
                   : reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m_module, name)));
    }

private:
    HMODULE m_module = nullptr;
};
