// The two connection checks. Each blocks its caller for at most its tries' time; each
// needs no setup from the caller and changes nothing on the machine.
#pragma once
#include <string>

namespace ConnectionCheck {

// Whether the gateway (dotted-decimal IPv4) answers an ICMP echo through the IP
// Helper: up to 5 tries, 1 second apart (a new address needs a moment before it is
// usable). False for text that is no address, or when the IP Helper cannot be used.
bool GatewayAnswers(const std::string& gateway);

// Whether the DNS server (dotted-decimal IPv4) answers one standard query (".", NS,
// a random ID) sent by UDP to its port 53: 2 tries of 2 seconds each. Any well-formed
// reply with our ID from that server counts. False for text that is no address, or
// when Winsock cannot be used.
bool DnsServerAnswers(const std::string& server);

}  // namespace ConnectionCheck
