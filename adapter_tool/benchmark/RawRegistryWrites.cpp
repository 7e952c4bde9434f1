// Baseline for the Adapset benchmark: the registry writes of one wizard-form run
// (service, address, mask, gateway, name servers, DHCP off), made with raw Win32 calls and
// nothing else: no argument rules, no adapter table, no notification.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

// Writes REG_SZ or REG_MULTI_SZ text into HKEY_LOCAL_MACHINE\path when the key opens.
void Put(HKEY key, const char* name, DWORD type, const char* text) {
    std::string bytes(text, strlen(text) + 1);
    if (type == REG_MULTI_SZ) bytes += '\0';
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
}

HKEY Open(const std::string& path) {
    HKEY key = nullptr;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS ? key
                                                                                                    : nullptr;
}

}  // namespace

// Arguments: service ipAddress mask gateway nameServers; returns 0, or 1 when the
// adapter's TCP/IP key is missing.
int main(int argc, char* argv[]) {
    if (argc < 6) return 2;
    const std::string service = argv[1];
    const std::string services = "SYSTEM\\CurrentControlSet\\Services\\";
    HKEY key = Open(services + service + "\\Parameters\\Tcpip");
    if (key == nullptr) return 1;
    for (int step = 0; step < 2 && key != nullptr; ++step) {
        Put(key, "IPAddress", REG_MULTI_SZ, argv[2]);
        Put(key, "SubnetMask", REG_MULTI_SZ, argv[3]);
        Put(key, "DefaultGateway", REG_MULTI_SZ, argv[4]);
        if (step == 1) Put(key, "NameServer", REG_SZ, argv[5]);
        const DWORD dhcpOff = 0;
        RegSetValueExA(key, "EnableDHCP", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dhcpOff),
                       sizeof dhcpOff);
        RegCloseKey(key);
        key = step == 0 ? Open(services + "Tcpip\\Parameters\\Interfaces\\" + service) : nullptr;
    }
    if ((key = Open(services + "Tcpip\\Parameters")) != nullptr) {
        Put(key, "NameServer", REG_SZ, argv[5]);
        RegCloseKey(key);
    }
    if ((key = Open(services + "NetBT\\Parameters\\Interfaces\\Tcpip_" + service)) != nullptr) {
        Put(key, "NameServerList", REG_MULTI_SZ, "");
        RegCloseKey(key);
    }
    return 0;
}
