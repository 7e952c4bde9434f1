#include "SystemLibrary.h"

#include <string>

SystemLibrary::SystemLibrary(const wchar_t* name) {
    // From the system directory only, never from the program's folder or the current one.
    m_module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (m_module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) return;
    // A system without that loader flag: the full path instead.
    wchar_t directory[MAX_PATH] = L"";
    const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    m_module = ::LoadLibraryW((std::wstring(directory, length) + L"\\" + name).c_str());
}

SystemLibrary::~SystemLibrary() {
    if (m_module != nullptr) ::FreeLibrary(m_module);
}
