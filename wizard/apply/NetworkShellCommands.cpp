#include "apply/NetworkShellCommands.h"

#include <string_view>

#include "apply/AddressRules.h"
#include "apply/CommandLine.h"
#include "win_base/PrintableText.h"
#include "win_base/DecimalText.h"
#include "win_base/TextConversion.h"

namespace NetworkShellCommands {

namespace {

const wchar_t NoValidation[] = L" validate=no";

// "interface ipv4 <verb> name="<connection>"" followed by the parts, each appended in
// place (one text grown, not a chain of temporaries).
std::wstring Command(const wchar_t* verb, const std::wstring& connection,
                     std::initializer_list<std::wstring_view> parts) {
    std::wstring command = L"interface ipv4 ";
    command += verb;
    command += L' ';
    command += QuotedName(connection);
    for (const std::wstring_view part : parts) command += part;
    return command;
}

std::wstring SetAddress(const std::wstring& connection, const std::string& address, const std::string& mask,
                        const std::string& gateway) {
    const bool none = gateway.empty();
    return Command(L"set address", connection,
                   {L" source=static address=", WinBase::WideFromNarrow(address), L" mask=",
                    WinBase::WideFromNarrow(mask), none ? L" gateway=none" : L" gateway=",
                    WinBase::WideFromNarrow(gateway), none ? L"" : L" gwmetric=1"});
}

std::wstring SetPrimaryDns(const std::wstring& connection, const std::string& server) {
    return Command(
        L"set dnsservers", connection,
        {L" source=static address=", WinBase::WideFromNarrow(server), L" register=primary", NoValidation});
}

std::wstring AddDns(const std::wstring& connection, const std::string& server, size_t index) {
    return Command(L"add dnsservers", connection,
                   {L" address=", WinBase::WideFromNarrow(server), L" index=",
                    WinBase::DecimalText(index), NoValidation});
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
        return std::vector<std::wstring>{Command(L"set address", connection, {L" source=dhcp"}),
                                         Command(L"set dnsservers", connection, {L" source=dhcp"})};
    if (!AllStrict(previous)) return std::nullopt;
    std::vector<std::wstring> runs = {
        SetAddress(connection, previous.address, previous.mask, previous.gateway)};
    if (previous.dnsServers.empty()) {
        runs.push_back(Command(L"set dnsservers", connection, {L" source=static address=none"}));
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
