// Binding and calling the DHCP client's notification.
#include "DhcpNotification.h"

#include <cwchar>
#include <string>

namespace {

// The DHCP client library from the system directory only, never from the program's own
// folder or the search path, where anyone who can write there could plant one.
HMODULE LoadDhcpClientLibrary() {
    HMODULE library = LoadLibraryExW(L"dhcpcsvc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) return library;
    // Windows without the search flags (Vista, 7 before its loader update): full path.
    const wchar_t kName[] = L"\\dhcpcsvc.dll";
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + wcslen(kName) >= MAX_PATH) return nullptr;
    wcscpy(path + length, kName);
    return LoadLibraryW(path);
}

}  // namespace

// The library stays loaded until the process ends.
DhcpNotifier::DhcpNotifier() {
    const HMODULE library = LoadDhcpClientLibrary();
    if (library == nullptr) return;
    m_notify = reinterpret_cast<NotifyConfigChangeFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "DhcpNotifyConfigChange")));
}

DWORD DhcpNotifier::Notify(const wchar_t* serviceName, DWORD address, DWORD mask) const {
    if (m_notify == nullptr) return ERROR_PROC_NOT_FOUND;
    std::wstring adapter(serviceName);  // the call takes a writable string
    return m_notify(nullptr, adapter.data(), TRUE, 0, address, mask, 0);
}
