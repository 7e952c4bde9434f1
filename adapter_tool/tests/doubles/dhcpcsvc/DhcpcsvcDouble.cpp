// Recording stand-in for the DHCP client library. Each call of DhcpNotifyConfigChange
// appends one line with its seven arguments to the file named by
// ADAPSET_DOUBLE_LOG and returns the status in ADAPSET_DOUBLE_STATUS (0 when unset).
// Built with ADAPSET_DOUBLE_WITHOUT_ENTRY it exports no notification at all.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef ADAPSET_DOUBLE_WITHOUT_ENTRY
// Something to export, so the library is a valid DLL without the notification.
extern "C" __declspec(dllexport) DWORD WINAPI DhcpCApiInitialize(LPDWORD version) {
    if (version != nullptr) *version = 2;
    return 0;
}
#else

namespace {

// Address bytes in memory order, dotted: network byte order reads as written.
std::string DottedBytes(DWORD address) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&address);
    char text[32];
    snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return text;
}

// A UTF-16 text as UTF-8, or "null".
std::string Utf8(const WCHAR* text) {
    if (text == nullptr) return "null";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// Environment variable as text, empty when unset.
std::string Variable(const char* name) {
    char value[1024];
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

}  // namespace

// Logs its arguments and returns the status the test chose.
extern "C" __declspec(dllexport) DWORD WINAPI
    DhcpNotifyConfigChange(LPWSTR serverName, LPWSTR adapterName, BOOL isNewIpAddress, DWORD ipIndex,
                           DWORD ipAddress, DWORD subnetMask, int dhcpAction) {
    const std::string log = Variable("ADAPSET_DOUBLE_LOG");
    if (!log.empty()) {
        FILE* file = fopen(log.c_str(), "ab");
        if (file != nullptr) {
            fprintf(file, "server=%s adapter=%s new=%d index=%lu ip=%s mask=%s action=%d\n",
                    Utf8(serverName).c_str(), Utf8(adapterName).c_str(), static_cast<int>(isNewIpAddress),
                    static_cast<unsigned long>(ipIndex), DottedBytes(ipAddress).c_str(),
                    DottedBytes(subnetMask).c_str(), dhcpAction);
            fclose(file);
        }
    }
    return static_cast<DWORD>(strtoul(Variable("ADAPSET_DOUBLE_STATUS").c_str(), nullptr, 10));
}
#endif
