// Registry update of the five TCP/IP and NetBT locations and the DHCP notification.
#include <winsock2.h>

#include "AdapterConfiguration.h"

#include <cstdio>
#include <string>

#include "AdapsetRules.h"

namespace {

const char kServicesPath[] = "SYSTEM\\CurrentControlSet\\Services\\";
const char kTcpipParametersPath[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const char kTcpipInterfacesPath[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const char kNetbtInterfacesPath[] =
    "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces\\Tcpip_";
const char kNetbtAdaptersPath[] = "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Adapters\\";

// DhcpNotifyConfigChange: server, adapter, new address flag, address index, address,
// mask, DHCP action; 0 on success.
typedef DWORD(WINAPI* NotifyConfigChangeFunction)(LPWSTR, LPWSTR, BOOL, DWORD, DWORD, DWORD, int);

// Binds the DHCP client's notification; nullptr when the library or entry point is
// missing. The library stays loaded until the process ends.
NotifyConfigChangeFunction BindNotification() {
    HMODULE library = LoadLibraryA("dhcpcsvc");
    if (library == nullptr) return nullptr;
    return reinterpret_cast<NotifyConfigChangeFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "DhcpNotifyConfigChange")));
}

// Opens HKEY_LOCAL_MACHINE\path for setting values; nullptr when it cannot be opened.
HKEY OpenForSetting(const std::string& path) {
    HKEY key = nullptr;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS ? key
                                                                                                    : nullptr;
}

// Writes the value's bytes; reports a failure by the value's name.
void SetValueBytes(HKEY key, const char* valueName, DWORD type, const std::string& bytes) {
    const LONG status = RegSetValueExA(key, valueName, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size()));
    if (status != ERROR_SUCCESS) printf("Registry update failed for %s\n", valueName);
}

// The three address values that both adapter keys hold.
void SetAddressValues(HKEY key, const char* ipAddress, const char* mask, const char* gateway) {
    SetMultiStringValue(key, "IPAddress", ipAddress);
    SetMultiStringValue(key, "SubnetMask", mask);
    SetMultiStringValue(key, "DefaultGateway", gateway);
}

// Asks the DHCP client to take up the new address; 0 on success. A missing library
// or entry point counts as a failed notification.
DWORD NotifyDhcpClient(NotifyConfigChangeFunction notify, const char* serviceName, const char* ipAddress,
                       const char* mask) {
    if (notify == nullptr) return ERROR_PROC_NOT_FOUND;
    WCHAR adapterName[kMaxServiceName + 1];
    if (MultiByteToWideChar(CP_ACP, 0, serviceName, -1, adapterName, kMaxServiceName + 1) == 0)
        return GetLastError();
    return notify(nullptr, adapterName, TRUE, 0, inet_addr(ipAddress), inet_addr(mask), 0);
}

}  // namespace

void SetMultiStringValue(HKEY key, const char* valueName, const char* text) {
    SetValueBytes(key, valueName, REG_MULTI_SZ, MultiStringBytes(text));
}

void SetMultiStringPairValue(HKEY key, const char* valueName, const char* first, const char* second) {
    SetValueBytes(key, valueName, REG_MULTI_SZ, MultiStringPairBytes(first, second));
}

void SetStringValue(HKEY key, const char* valueName, const char* text) {
    SetValueBytes(key, valueName, REG_SZ, StringBytes(text));
}

int ConfigureAdapter(const char* serviceName, const char* ipAddress, const char* mask, const char* gateway,
                     const char* nameServer1, const char* nameServer2, const char* winsServer1,
                     const char* winsServer2) {
    // Checked here as well as on the command line, so no caller can pass input that
    // does not fit the limits or the address forms.
    const char* const parameters[kParameterCount] = {serviceName, ipAddress,   mask,        gateway,
                                                     nameServer1, nameServer2, winsServer1, winsServer2};
    Refusal refusal = CheckServiceName(serviceName);
    if (refusal.kind == kNoRefusal) refusal = CheckSettings(parameters);
    if (refusal.kind != kNoRefusal) {
        printf("%s", RefusalMessage(refusal).c_str());
        return kRefusedStatus;
    }

    // Bound before any key is opened; a missing entry point shows only at the end.
    const NotifyConfigChangeFunction notify = BindNotification();

    HKEY key = OpenForSetting(std::string(kServicesPath) + serviceName + "\\Parameters\\Tcpip");
    if (key == nullptr) return printf("Cannot locate adapter %s\n", serviceName);
    SetAddressValues(key, ipAddress, mask, gateway);
    RegCloseKey(key);

    key = OpenForSetting(std::string(kTcpipInterfacesPath) + serviceName);
    if (key != nullptr) {
        SetAddressValues(key, ipAddress, mask, gateway);
        SetStringValue(key, "NameServer", JoinNameServers(nameServer1, nameServer2, ',').c_str());
        RegCloseKey(key);
    }

    key = OpenForSetting(kTcpipParametersPath);
    if (key != nullptr) {
        SetStringValue(key, "NameServer", JoinNameServers(nameServer1, nameServer2, ' ').c_str());
        RegCloseKey(key);
    }

    key = OpenForSetting(std::string(kNetbtInterfacesPath) + serviceName);
    if (key != nullptr) {
        if (winsServer1[0] != '\0' && winsServer2[0] != '\0')
            SetMultiStringPairValue(key, "NameServerList", winsServer1, winsServer2);
        else
            SetMultiStringValue(key, "NameServerList", winsServer1[0] != '\0' ? winsServer1 : winsServer2);
        RegCloseKey(key);
    }

    key = OpenForSetting(std::string(kNetbtAdaptersPath) + serviceName);
    if (key != nullptr) {
        if (winsServer1[0] != '\0') SetStringValue(key, "NameServer", winsServer1);
        if (winsServer2[0] != '\0') SetStringValue(key, "NamerServerBackup", winsServer2);
        RegCloseKey(key);
    }

    if (NotifyDhcpClient(notify, serviceName, ipAddress, mask) != 0)
        return printf("Adapter configuration failed\n");
    return 0;
}
