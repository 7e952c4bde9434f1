#pragma once
#include <string>

#include "connection_check/Checks.h"

// The connection checks the sequence runs once the new settings are in place. The
// wizard passes the real ones (ICMP echo and DNS query, at once), tests pass recording
// ones.
class IConnectionChecks {
public:
    virtual ~IConnectionChecks() = default;
    // Whether the gateway answers an echo (up to 5 tries, 1 second apart) and what the
    // DNS server says to one standard query (2 tries of 2 seconds), both at once.
    virtual ConnectionCheck::CheckResults Run(const std::string& gateway, const std::string& dnsServer) = 0;
};

// What the checks found, for the closing page.
struct ConnectionReport {
    std::string gateway;
    std::string dnsServer;
    ConnectionCheck::CheckResults results;

    bool Passed() const { return results.Passed(); }
};
