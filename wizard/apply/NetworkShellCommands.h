#pragma once
#include <optional>
#include <string>
#include <vector>

// The network shell's parameter texts for one connection, in its documented
// "interface ipv4" syntax, the name always quoted. Addresses are narrow dotted-decimal
// text; the texts are Unicode, as the shell gets them.

// An adapter's address settings as they were before the wizard changed them.
struct PreviousAddress {
    bool dhcp = true;  // the address (and DNS) came from DHCP
    std::string address, mask, gateway;
    std::vector<std::string> dnsServers;  // in order; empty for none
};

namespace NetworkShellCommands {

// The three runs that make the typed settings live: address, mask and gateway, then the
// primary and the secondary DNS server.
std::vector<std::wstring> Apply(const std::wstring& connection, const std::string& address,
                                const std::string& gateway, const std::string& primaryDns,
                                const std::string& secondaryDns);

// The runs that put the connection back: source=dhcp for address and DNS after DHCP,
// otherwise the earlier static address, mask, gateway (none when there was none) and
// DNS servers (none when there were none). nullopt, building nothing, when an earlier
// address, mask, gateway or DNS server is not strict dotted-decimal IPv4: such text
// never reaches a command line.
std::optional<std::vector<std::wstring>> Restore(const std::wstring& connection,
                                                 const PreviousAddress& previous);

// The same DNS command without its "validate=no" (older Windows versions do not know
// the parameter); nullopt for a command that does not carry it.
std::optional<std::wstring> WithoutValidation(const std::wstring& parameters);

// name="<connection>" as one argument: control characters written out, a run of
// backslashes at the name's end doubled, so that the closing quote survives the usual
// command-line rules.
std::wstring QuotedName(const std::wstring& connection);

}  // namespace NetworkShellCommands
