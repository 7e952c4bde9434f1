#pragma once
#include <string>

// The connection checks the sequence runs once the new settings are in place. The
// wizard passes the real ones (ICMP echo, DNS query), tests pass recording ones.
class IConnectionChecks {
public:
    virtual ~IConnectionChecks() = default;
    // Whether the gateway answers an echo (up to 5 tries, 1 second apart).
    virtual bool GatewayAnswers(const std::string& gateway) = 0;
    // Whether the DNS server answers one standard query (2 tries of 2 seconds).
    virtual bool DnsServerAnswers(const std::string& server) = 0;
};

// What the checks found, for the closing page.
struct ConnectionReport {
    std::string gateway;
    bool gatewayAnswered = false;
    std::string dnsServer;
    bool dnsAnswered = false;

    bool Passed() const { return gatewayAnswered && dnsAnswered; }
};
