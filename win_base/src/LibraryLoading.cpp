#include "win_base/LibraryLoading.h"

#include <string>

namespace WinBase {

UniqueLibrary LoadSystemLibrary(const wchar_t* name) {
    UniqueLibrary module(::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // A loader without the search flags (Vista, 7 before its update): the full path.
    wchar_t directory[MAX_PATH] = L"";
    const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return module;
    return UniqueLibrary(::LoadLibraryW((std::wstring(directory, length) + L"\\" + name).c_str()));
}

}  // namespace WinBase
