// Binding and calling the DHCP client's notification.
#include "DhcpNotification.h"

#include <string>

#include "win_base/LibraryLoading.h"

// The DHCP client library from the system directory only (never the program's own
// folder or the search path); it stays loaded until the process ends.
DhcpNotifier::DhcpNotifier() {
    const HMODULE library = WinBase::LoadSystemLibrary(L"dhcpcsvc.dll").release();
    if (library == nullptr) return;
    m_notify = reinterpret_cast<NotifyConfigChangeFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "DhcpNotifyConfigChange")));
}

DWORD DhcpNotifier::Notify(const wchar_t* serviceName, DWORD address, DWORD mask) const {
    if (m_notify == nullptr) return ERROR_PROC_NOT_FOUND;
    std::wstring adapter(serviceName);  // the call takes a writable string
    return m_notify(nullptr, adapter.data(), TRUE, 0, address, mask, 0);
}
