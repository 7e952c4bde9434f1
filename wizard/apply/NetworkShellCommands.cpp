#include "apply/NetworkShellCommands.h"

#include "apply/DecimalText.h"
#include "apply/AddressRules.h"
#include "apply/CommandLine.h"
#include "win_base/PrintableText.h"
#include "win_base/TextConversion.h"

namespace NetworkShellCommands {

namespace {

const wchar_t NoValidation[] = L" validate=no";

std::wstring SetAddress(const std::wstring& connection, const std::string& address, const std::string& mask,
                        const std::string& gateway) {
    const std::wstring route = gateway.empty()
                                   ? std::wstring(L" gateway=none")
                                   : L" gateway=" + WinBase::WideFromNarrow(gateway) + L" gwmetric=1";
    return L"interface ipv4 set address " + QuotedName(connection) + L" source=static address=" +
           WinBase::WideFromNarrow(address) + L" mask=" + WinBase::WideFromNarrow(mask) + route;
}

std::wstring SetPrimaryDns(const std::wstring& connection, const std::string& server) {
    return L"interface ipv4 set dnsservers " + QuotedName(connection) + L" source=static address=" +
           WinBase::WideFromNarrow(server) + L" register=primary" + NoValidation;
}

std::wstring AddDns(const std::wstring& connection, const std::string& server, size_t index) {
    return L"interface ipv4 add dnsservers " + QuotedName(connection) + L" address=" +
           WinBase::WideFromNarrow(server) + L" index=" + WideDecimal(index) + NoValidation;
}

bool AllStrict(const PreviousAddress& previous) {
    if (!IsStrictIpv4(previous.address) || !IsStrictIpv4(previous.mask)) return false;
    if (!previous.gateway.empty() && !IsStrictIpv4(previous.gateway)) return false;
    for (const std::string& server : previous.dnsServers)
        if (!IsStrictIpv4(server)) return false;
    return true;
}

}  // namespace

std::wstring QuotedName(const std::wstring& connection) {
    // The name from the registry, its control characters written out, as one argument.
    return L"name=" + QuotedArgument(WinBase::PrintableText(connection));
}

std::vector<std::wstring> Apply(const std::wstring& connection, const std::string& address,
                                const std::string& gateway, const std::string& primaryDns,
                                const std::string& secondaryDns) {
    return {SetAddress(connection, address, FixedSubnetMask, gateway), SetPrimaryDns(connection, primaryDns),
            AddDns(connection, secondaryDns, 2)};
}

std::optional<std::vector<std::wstring>> Restore(const std::wstring& connection,
                                                 const PreviousAddress& previous) {
    if (previous.dhcp)
        return std::vector<std::wstring>{
            L"interface ipv4 set address " + QuotedName(connection) + L" source=dhcp",
            L"interface ipv4 set dnsservers " + QuotedName(connection) + L" source=dhcp"};
    if (!AllStrict(previous)) return std::nullopt;
    std::vector<std::wstring> runs = {
        SetAddress(connection, previous.address, previous.mask, previous.gateway)};
    if (previous.dnsServers.empty()) {
        runs.push_back(L"interface ipv4 set dnsservers " + QuotedName(connection) +
                       L" source=static address=none");
        return runs;
    }
    runs.push_back(SetPrimaryDns(connection, previous.dnsServers.front()));
    for (size_t i = 1; i < previous.dnsServers.size(); ++i)
        runs.push_back(AddDns(connection, previous.dnsServers[i], i + 1));
    return runs;
}

std::optional<std::wstring> WithoutValidation(const std::wstring& parameters) {
    const size_t at = parameters.rfind(NoValidation);
    if (at == std::wstring::npos || at + wcslen(NoValidation) != parameters.size()) return std::nullopt;
    return parameters.substr(0, at);
}

}  // namespace NetworkShellCommands
