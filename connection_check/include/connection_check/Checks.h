// The two connection checks. Each blocks its caller for at most its tries' time; each
// needs no setup from the caller and changes nothing on the machine.
#pragma once
#include <cstdint>
#include <string>

#include "connection_check/DnsMessage.h"

namespace ConnectionCheck {

// Whether the gateway (dotted-decimal IPv4) answers an ICMP echo through the IP
// Helper: up to 5 tries, 1 second apart (a new address needs a moment before it is
// usable). False for text that is no address, or when the IP Helper cannot be used.
bool GatewayAnswers(const std::string& gateway);

// What the DNS server said to our query: nothing (no reply with our ID from it), or a
// reply with its result code. Only NOERROR means that the server resolves names.
struct DnsCheck {
    bool replied = false;
    uint8_t resultCode = DnsNoError;  // of the reply, when there was one

    bool Resolves() const { return replied && resultCode == DnsNoError; }
};

// Sends one standard query (".", NS, a random ID) by UDP to the DNS server's
// (dotted-decimal IPv4) port 53: 2 tries of 2 seconds each. Replies are read whole up
// to the UDP maximum; anything that is not a reply to our query from that server is
// passed over. No reply for text that is no address, or when Winsock cannot be used.
DnsCheck CheckDnsServer(const std::string& server);

// Both checks' findings.
struct CheckResults {
    bool gatewayAnswered = false;
    DnsCheck dns;

    bool Passed() const { return gatewayAnswered && dns.Resolves(); }
};

// The checks RunBothChecks runs; tests give their own.
struct Checkers {
    bool (*gateway)(const std::string&) = &GatewayAnswers;
    DnsCheck (*dns)(const std::string&) = &CheckDnsServer;
};

// Runs both checks at once (the gateway's on a thread of its own), so the wait is that
// of the slower one; one after the other only when no thread can be started.
CheckResults RunBothChecks(const std::string& gateway, const std::string& dnsServer,
                           const Checkers& checkers = Checkers());

}  // namespace ConnectionCheck
