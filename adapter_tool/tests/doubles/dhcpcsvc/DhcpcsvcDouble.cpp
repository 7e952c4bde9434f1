// Recording stand-in for the DHCP client library. Each call of DhcpNotifyConfigChange
// appends one line with its seven arguments to the file named by
// ADAPSET_DOUBLE_LOG and returns the status in ADAPSET_DOUBLE_STATUS (0 when unset).
// Built with ADAPSET_DOUBLE_WITHOUT_ENTRY it exports no notification at all.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#ifdef ADAPSET_DOUBLE_WITHOUT_ENTRY
// Something to export, so the library is a valid DLL without the notification.
extern "C" __declspec(dllexport) DWORD WINAPI DhcpCApiInitialize(LPDWORD version) {
    if (version != nullptr) *version = 2;
    return 0;
}
#else

// Plain C runtime only, so that loading the double costs little more than loading
// the platform's library would.
namespace {

// Address bytes in memory order, dotted: network byte order reads as written.
void DottedBytes(DWORD address, char* text, size_t size) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&address);
    snprintf(text, size, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
}

// A UTF-16 text as UTF-8, or "null".
void Utf8(const WCHAR* text, char* out, int size) {
    if (text == nullptr || WideCharToMultiByte(CP_UTF8, 0, text, -1, out, size, nullptr, nullptr) == 0)
        snprintf(out, size, "%s", text == nullptr ? "null" : "(not convertible)");
}

}  // namespace

// Logs its arguments and returns the status the test chose.
extern "C" __declspec(dllexport) DWORD WINAPI
    DhcpNotifyConfigChange(LPWSTR serverName, LPWSTR adapterName, BOOL isNewIpAddress, DWORD ipIndex,
                           DWORD ipAddress, DWORD subnetMask, int dhcpAction) {
    char log[MAX_PATH * 4];
    const DWORD logLength = GetEnvironmentVariableA("ADAPSET_DOUBLE_LOG", log, sizeof log);
    if (logLength > 0 && logLength < sizeof log) {
        FILE* file = fopen(log, "ab");
        if (file != nullptr) {
            char server[1024], adapter[1024], ip[32], mask[32];
            Utf8(serverName, server, sizeof server);
            Utf8(adapterName, adapter, sizeof adapter);
            DottedBytes(ipAddress, ip, sizeof ip);
            DottedBytes(subnetMask, mask, sizeof mask);
            fprintf(file, "server=%s adapter=%s new=%d index=%lu ip=%s mask=%s action=%d\n", server, adapter,
                    static_cast<int>(isNewIpAddress), static_cast<unsigned long>(ipIndex), ip, mask,
                    dhcpAction);
            fclose(file);
        }
    }
    char status[32];
    const DWORD statusLength = GetEnvironmentVariableA("ADAPSET_DOUBLE_STATUS", status, sizeof status);
    return statusLength > 0 && statusLength < sizeof status ? static_cast<DWORD>(strtoul(status, nullptr, 10))
                                                            : 0;
}
#endif
