// The two checks together, in-process, over checks of the test's own. (The real DNS
// check is run against the test modem's servers by Adapset's /check tests.)
#include <windows.h>
#include <gtest/gtest.h>

#include "connection_check/Checks.h"

using namespace ConnectionCheck;

namespace {

// Two checks that each wait (up to 10 s) for the other to have started: they pass only
// when they run at the same time.
HANDLE g_gatewayStarted = nullptr;
HANDLE g_dnsStarted = nullptr;

bool GatewayMeetingDns(const std::string&) {
    SetEvent(g_gatewayStarted);
    return WaitForSingleObject(g_dnsStarted, 10000) == WAIT_OBJECT_0;
}

DnsCheck DnsMeetingGateway(const std::string& server) {
    SetEvent(g_dnsStarted);
    DnsCheck check;
    check.replied = WaitForSingleObject(g_gatewayStarted, 10000) == WAIT_OBJECT_0 && server == "192.0.2.53";
    return check;
}

}  // namespace

TEST(BothChecks, RunAtTheSameTime) {
    g_gatewayStarted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_dnsStarted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Checkers checkers;
    checkers.gateway = &GatewayMeetingDns;
    checkers.dns = &DnsMeetingGateway;
    const CheckResults results = RunBothChecks("192.0.2.254", "192.0.2.53", checkers);
    EXPECT_TRUE(results.gatewayAnswered);
    EXPECT_TRUE(results.dns.Resolves());
    EXPECT_TRUE(results.Passed());
    CloseHandle(g_gatewayStarted);
    CloseHandle(g_dnsStarted);
}
