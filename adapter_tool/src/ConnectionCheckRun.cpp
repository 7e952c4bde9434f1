// Adapset /check.
#include "ConnectionCheckRun.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
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

// What the DNS server's reply says, for its line: "answered" for NOERROR, otherwise
// the kind of refusal with the code's name.
std::string DnsVerdict(const ConnectionCheck::DnsCheck& dns) {
    if (!dns.replied) return "no answer";
    const char* const name = ConnectionCheck::DnsResultCodeName(dns.resultCode);
    switch (dns.resultCode) {
        case ConnectionCheck::DnsNoError:
            return "answered";
        case ConnectionCheck::DnsRefused:
            return "refused (REFUSED)";
        case ConnectionCheck::DnsServerFailure:
            return "cannot resolve (SERVFAIL)";
        case ConnectionCheck::DnsNameError:
            return "does not know the root name (NXDOMAIN)";
        case ConnectionCheck::DnsNotImplemented:
            return "does not support the query (NOTIMP)";
        case ConnectionCheck::DnsFormatError:
            return std::string("rejected the query (") + name + ")";
        default:
            // The code (0 to 15) without printf, which the tool leaves out.
            return std::string("does not resolve (result code ") +
                   (dns.resultCode >= 10 ? std::string(1, '1') : std::string()) +
                   static_cast<char>('0' + dns.resultCode % 10) + ")";
    }
}

}  // namespace

int CheckConnection(const std::optional<std::string>& service, const char* adapterName) {
    // Unlike configuring, a number out of range is no listing: a script must not read
    // status 0 as a passed check.
    if (!service) return printf("Cannot locate adapter %s\n", ConsoleField(std::string(adapterName)).c_str());
    const std::optional<Addresses> addresses = ReadAddresses(*service);
    if (!addresses) return printf("Cannot locate adapter %s\n", ConsoleField(*service).c_str());
    // Both at once: the wait is the slower check's. A missing address is not checked.
    ConnectionCheck::Checkers checkers;
    if (addresses->gateway.empty()) checkers.gateway = [](const std::string&) { return false; };
    if (addresses->dnsServer.empty())
        checkers.dns = [](const std::string&) { return ConnectionCheck::DnsCheck(); };
    const ConnectionCheck::CheckResults results =
        ConnectionCheck::RunBothChecks(addresses->gateway, addresses->dnsServer, checkers);
    if (addresses->gateway.empty())
        printf("Gateway: none configured\n");
    else
        printf("Gateway %s: %s\n", ConsoleField(addresses->gateway).c_str(),
               results.gatewayAnswered ? "answered" : "no answer");
    if (addresses->dnsServer.empty())
        printf("DNS server: none configured\n");
    else
        printf("DNS server %s: %s\n", ConsoleField(addresses->dnsServer).c_str(),
               DnsVerdict(results.dns).c_str());
    if (results.Passed()) return 0;
    // Everything reachable, but the DNS server does not resolve: a status of its own.
    return results.gatewayAnswered && results.dns.replied ? kDnsDoesNotResolveStatus : kNoAnswerStatus;
}
