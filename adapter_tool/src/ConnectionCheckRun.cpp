// Adapset /check.
#include "ConnectionCheckRun.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "ConsoleText.h"
#include "connection_check/Checks.h"
#include "win_base/UniqueHandle.h"

namespace {

const char kServicesPath[] = "SYSTEM\\CurrentControlSet\\Services\\";
const char kInterfacesPath[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

// The strings of a REG_SZ or REG_MULTI_SZ value; empty when it is missing or of
// another type.
std::vector<std::string> ReadStrings(HKEY key, const char* name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_MULTI_SZ) return {};
    std::vector<char> data(size + 2, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    std::vector<std::string> strings;
    for (const char* at = data.data(); *at != '\0' && at < data.data() + size; at += strlen(at) + 1) {
        strings.emplace_back(at);
        if (type == REG_SZ) break;
    }
    return strings;
}

// The first address of a list value: the first entry of a multi-string, the first of
// a comma or blank separated string.
std::string FirstAddress(HKEY key, const char* name) {
    const std::vector<std::string> strings = ReadStrings(key, name);
    if (strings.empty()) return std::string();
    const std::string& first = strings.front();
    const size_t start = first.find_first_not_of(", ");
    if (start == std::string::npos) return std::string();
    return first.substr(start, first.find_first_of(", ", start) - start);
}

// The configured value, else what DHCP gave the adapter.
std::string Configured(HKEY key, const char* name, const char* dhcpName) {
    const std::string value = FirstAddress(key, name);
    return value.empty() ? FirstAddress(key, dhcpName) : value;
}

struct Addresses {
    std::string gateway;
    std::string dnsServer;
};

// From the interface key (today's layout), else the per-service TCP/IP key; nullopt
// when neither exists, as for configuring.
std::optional<Addresses> ReadAddresses(const std::string& service) {
    Addresses addresses;
    bool found = false;
    for (const std::string& path :
         {kInterfacesPath + service, std::string(kServicesPath) + service + "\\Parameters\\Tcpip"}) {
        WinBase::UniqueKey key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                          key.put()) != ERROR_SUCCESS)
            continue;
        found = true;
        if (addresses.gateway.empty())
            addresses.gateway = Configured(key.get(), "DefaultGateway", "DhcpDefaultGateway");
        if (addresses.dnsServer.empty())
            addresses.dnsServer = Configured(key.get(), "NameServer", "DhcpNameServer");
    }
    if (!found) return std::nullopt;
    return addresses;
}

// Runs one check and prints its line; true when it answered.
bool CheckAndPrint(const char* what, const std::string& address, bool (*check)(const std::string&)) {
    if (address.empty()) {
        printf("%s: none configured\n", what);
        return false;
    }
    const bool answered = check(address);
    printf("%s %s: %s\n", what, ConsoleField(address).c_str(), answered ? "answered" : "no answer");
    return answered;
}

}  // namespace

int CheckConnection(const std::optional<std::string>& service, const char* adapterName) {
    // Unlike configuring, a number out of range is no listing: a script must not read
    // status 0 as a passed check.
    if (!service) return printf("Cannot locate adapter %s\n", ConsoleField(std::string(adapterName)).c_str());
    const std::optional<Addresses> addresses = ReadAddresses(*service);
    if (!addresses) return printf("Cannot locate adapter %s\n", ConsoleField(*service).c_str());
    const bool gateway = CheckAndPrint("Gateway", addresses->gateway, &ConnectionCheck::GatewayAnswers);
    const bool dns = CheckAndPrint("DNS server", addresses->dnsServer, &ConnectionCheck::DnsServerAnswers);
    return gateway && dns ? 0 : 1;
}
