#include "apply/NetworkShellCommands.h"

#include "apply/AddressRules.h"
#include "apply/CommandLine.h"
#include "win_base/PrintableText.h"
#include "win_base/DecimalText.h"
#include "win_base/TextConversion.h"

namespace NetworkShellCommands {

namespace {

// The name from the registry, its control characters written out, as one argument.
std::wstring Name(const std::wstring& connection) {
    return L"name=" + QuotedArgument(WinBase::PrintableText(connection));
}

std::wstring SetAddress(const std::wstring& connection, const std::string& address, const std::string& mask,
                        const std::string& gateway) {
    const std::wstring route = gateway.empty()
                                   ? std::wstring(L" gateway=none")
                                   : L" gateway=" + WinBase::WideFromNarrow(gateway) + L" gwmetric=1";
    return L"interface ip set address " + Name(connection) + L" source=static addr=" +
           WinBase::WideFromNarrow(address) + L" mask=" + WinBase::WideFromNarrow(mask) + route;
}

std::wstring SetPrimaryDns(const std::wstring& connection, const std::string& server) {
    return L"interface ip set dnsservers " + Name(connection) + L" source=static addr=" +
           WinBase::WideFromNarrow(server) + L" register=primary validate=no";
}

std::wstring AddDns(const std::wstring& connection, const std::string& server, size_t index) {
    return L"interface ip add dnsservers " + Name(connection) + L" addr=" + WinBase::WideFromNarrow(server) +
           L" index=" + WinBase::DecimalText(index) + L" validate=no";
}

}  // namespace

std::vector<std::wstring> Apply(const std::wstring& connection, const std::string& address,
                                const std::string& gateway, const std::string& primaryDns,
                                const std::string& secondaryDns) {
    return {SetAddress(connection, address, FixedSubnetMask, gateway), SetPrimaryDns(connection, primaryDns),
            AddDns(connection, secondaryDns, 2)};
}

std::vector<std::wstring> Restore(const std::wstring& connection, const PreviousAddress& previous) {
    if (previous.dhcp)
        return {L"interface ip set address " + Name(connection) + L" source=dhcp",
                L"interface ip set dnsservers " + Name(connection) + L" source=dhcp"};
    std::vector<std::wstring> runs = {
        SetAddress(connection, previous.address, previous.mask, previous.gateway)};
    if (previous.dnsServers.empty()) {
        runs.push_back(L"interface ip set dnsservers " + Name(connection) + L" source=static addr=none");
        return runs;
    }
    runs.push_back(SetPrimaryDns(connection, previous.dnsServers.front()));
    for (size_t i = 1; i < previous.dnsServers.size(); ++i)
        runs.push_back(AddDns(connection, previous.dnsServers[i], i + 1));
    return runs;
}

}  // namespace NetworkShellCommands
