// Adapset /check end to end: the built tool's real checks (ICMP echo and DNS query)
// against the test modem of the private network namespace (scripts/modem.sh: gateway
// 192.168.5.254, the build's primary DNS server, real DNS server software answering well
// and badly, hostile and long replies), with adapters seeded to point at the modem or at
// addresses nobody holds there.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "test_support/PrefixChanges.h"
#include "test_support/PrivateNetwork.h"
#include "test_support/Process.h"
#include "test_support/TestMachine.h"

using namespace TestSupport;

namespace {

const char kModemGateway[] = "192.168.5.254";
const char kModemDns[] = "203.0.113.53";
const char kSilentGateway[] = "10.0.2.1";   // nothing answers there
const char kSilentDns[] = "198.51.100.53";  // no server there

class AdapsetCheck : public ::testing::Test {
protected:
    static std::vector<std::string> Roots() {
        std::vector<std::string> roots = {kNetworkCards, kTcpipParameters, kNetbt};
        for (const SeedAdapter& a : TwoAdapterMachine()) roots.push_back(kServices + a.service);
        return roots;
    }
    static void SetUpTestSuite() { original_ = new Snapshot(CaptureTrees(Roots())); }
    static void TearDownTestSuite() {
        EXPECT_TRUE(RestoreTrees(Roots(), *original_));
        delete original_;
    }
    void SetUp() override {
        const std::string network = PrivateNetworkProblem();
        ASSERT_TRUE(network.empty()) << network;
        ASSERT_TRUE(SeedMachine(TwoAdapterMachine()));
        services_ = EnumeratedServices();
        ASSERT_EQ(services_.size(), 2u);
    }
    // Points the adapter's interface key at a gateway and DNS servers.
    void Configure(size_t adapter, const std::string& gateway, const std::string& nameServers) const {
        ASSERT_TRUE(
            PutValue(InterfaceKey(services_[adapter]), "DefaultGateway", MultiStringValue({gateway})));
        ASSERT_TRUE(PutValue(InterfaceKey(services_[adapter]), "NameServer", StringValue(nameServers)));
    }
    static ProcessResult Check(const std::string& arguments) {
        const ProcessResult result =
            RunProcess("\"" + BuildPath("adapter_tool\\Adapset.exe") + "\" " + arguments, "", 60000);
        EXPECT_FALSE(result.timedOut);
        return result;
    }
    std::vector<std::string> services_;
    static inline Snapshot* original_ = nullptr;
};

std::string Lines(const std::string& gateway, bool gatewayAnswers, const std::string& dns,
                  const std::string& dnsVerdict) {
    return "Gateway " + gateway + (gatewayAnswers ? ": answered" : ": no answer") + "\r\nDNS server " + dns +
           ": " + dnsVerdict + "\r\n";
}

std::string Lines(const std::string& gateway, bool gatewayAnswers, const std::string& dns, bool dnsAnswers) {
    return Lines(gateway, gatewayAnswers, dns, std::string(dnsAnswers ? "answered" : "no answer"));
}

}  // namespace

TEST_F(AdapsetCheck, ModemAnsweringPassesByNumberAndServiceName) {
    Configure(0, kModemGateway, std::string(kModemDns) + ",198.51.100.53");
    for (const std::string& name : {std::string("1"), services_[0]}) {
        const ProcessResult result = Check("/check " + name);
        EXPECT_EQ(result.output, Lines(kModemGateway, true, kModemDns, true)) << name;
        EXPECT_EQ(result.exitCode, 0u) << name;
    }
}

TEST_F(AdapsetCheck, EitherCheckUnansweredFails) {
    Configure(1, kModemGateway, kSilentDns);
    ProcessResult result = Check("/CHECK 2");
    EXPECT_EQ(result.output, Lines(kModemGateway, true, kSilentDns, false));
    EXPECT_EQ(result.exitCode, 1u);
    Configure(1, kSilentGateway, kModemDns);
    result = Check("/check " + services_[1]);
    EXPECT_EQ(result.output, Lines(kSilentGateway, false, kModemDns, true));
    EXPECT_EQ(result.exitCode, 1u);
}

TEST_F(AdapsetCheck, MissingAdapterAndBadArgumentsGetTheUsualStatuses) {
    ProcessResult result = Check("/check 9");
    EXPECT_EQ(result.output, "Cannot locate adapter 9\r\n");
    EXPECT_EQ(result.exitCode, 24u);  // the characters printed, as for configuring
    result = Check("/check NoSuchService");
    EXPECT_EQ(result.output, "Cannot locate adapter NoSuchService\r\n");
    EXPECT_EQ(result.exitCode, 36u);
    result = Check("/check");
    EXPECT_EQ(result.output, "Usage: adapset /check adapterName\r\n");
    EXPECT_EQ(result.exitCode, 160u);
}

// Real DNS server software (dnsmasq) that answers but does not resolve: the line names
// the result code, and the status says "reachable, but no name resolves" (2), unless
// something did not answer at all (1). Only a NOERROR reply passes, also one that
// a forwarding server relays, one far over 512 bytes, and one behind a flood of
// datagrams that are not our reply.
TEST_F(AdapsetCheck, DnsServerThatDoesNotResolveFailsWithItsResultCode) {
    struct Case {
        const char* server;
        const char* verdict;
        DWORD status;
    };
    for (const Case& c :
         {Case{"192.0.2.53", "refused (REFUSED)", 2},
          Case{"192.0.2.54", "does not know the root name (NXDOMAIN)", 2},
          Case{"192.0.2.55", "cannot resolve (SERVFAIL)", 2}, Case{"192.0.2.56", "answered", 0},
          Case{"192.0.2.57", "answered", 0}, Case{"192.0.2.58", "answered", 0}}) {
        Configure(0, kModemGateway, c.server);
        const ProcessResult result = Check("/check 1");
        EXPECT_EQ(result.output, Lines(kModemGateway, true, c.server, std::string(c.verdict))) << c.server;
        EXPECT_EQ(result.exitCode, c.status) << c.server;
    }
    Configure(0, kSilentGateway, "192.0.2.53");
    const ProcessResult result = Check("/check 1");
    EXPECT_EQ(result.output, Lines(kSilentGateway, false, "192.0.2.53", std::string("refused (REFUSED)")));
    EXPECT_EQ(result.exitCode, 1u);
}
