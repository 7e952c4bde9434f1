// The DHCP client's notification that an adapter's address changed, which makes it
// take up the settings just written to the registry.
#pragma once

#include <windows.h>

class DhcpNotifier {
public:
    // Binds DhcpNotifyConfigChange of the system directory's DHCP client library; a
    // missing library or entry point shows only when Notify is called.
    DhcpNotifier();

    // Tells the DHCP client that the adapter (its service name) has a new static
    // address and mask (network byte order); 0 on success, otherwise the client's
    // status, or ERROR_PROC_NOT_FOUND when nothing could be bound.
    DWORD Notify(const wchar_t* serviceName, DWORD address, DWORD mask) const;

private:
    // Server, adapter, new address flag, address index, address, mask, DHCP action.
    typedef DWORD(WINAPI* NotifyConfigChangeFunction)(LPWSTR, LPWSTR, BOOL, DWORD, DWORD, DWORD, int);
    NotifyConfigChangeFunction m_notify = nullptr;
};
