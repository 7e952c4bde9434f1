// The derivation rule of the entry page, without a window.
#include <gtest/gtest.h>

#include <string>

#include "apply/AddressRules.h"

namespace {

struct Case {
    const char* address;
    const char* thirdField;
    const char* gateway;
};

// What the address control reports, and the odd texts the rule must still survive.
const Case kCases[] = {
    {"192.168.5.20", "5", "192.168.5.254"},
    {"10.1.0.7", "0", "10.1.0.254"},
    {"1.2.3.", "3", "1.2.3.254"},                        // fourth field not typed yet
    {"1.2..", "", "1.2..254"},                           // blank third field
    {"", "", ".254"},                                    // empty text
    {"192168520", "", ".254"},                           // no dot at all
    {"a.b", "a", "a.254"},                               // one dot: the first part counts as third field
    {"1.2.\xA4\x40.4", "\xA4\x40", "1.2.\xA4\x40.254"},  // Big5 text survives
};

TEST(AddressRules, ThirdFieldAndGateway) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(ExtractThirdField(c.address), c.thirdField);
        EXPECT_EQ(DeriveGateway(c.address), c.gateway);
    }
}

TEST(AddressRules, OnlyACompleteUsableHostAddressIsReady) {
    for (const char* usable : {"192.168.5.20", "1.0.1.1", "223.255.255.253", "126.0.1.1", "128.0.1.1"})
        EXPECT_TRUE(IsUsableHostAddress(usable)) << usable;
    for (const char* refused :
         {"192.168.0.20",  "10.1.00.7",                        // third field 0, however typed
          "192.168.5",     "192.168.5.",    "1.2..4",     "",  // fields missing
          "0.1.2.3",       "127.0.1.1",     "224.1.1.1",       // first field: none, loopback, multicast
          "192.168.5.0",   "192.168.5.255",                    // network and broadcast address
          "192.168.5.254",                                     // the gateway's own address
          "1.2.3.4.5",     "256.1.1.1",     "1.2.3.1000",      // too many fields, too large
          "01.2.3.4",      "1.2.3.04",      " 1.2.3.4",   "1.2.3.4 ", "1.2.+3.4", "1.2.\xA4\x40.4"}) {
        EXPECT_FALSE(IsUsableHostAddress(refused)) << refused;
    }
}

TEST(AddressRules, ProviderDnsServersAreConsistentAddresses) {
    EXPECT_EQ(std::string(ProviderDnsList), std::string(ProviderDnsPrimary) + "," + ProviderDnsSecondary);
    EXPECT_EQ(std::string(ProviderDnsList).find(' '), std::string::npos);
    for (const char* dns : {ProviderDnsPrimary, ProviderDnsSecondary}) {
        int a = -1, b = -1, c = -1, d = -1;
        char rest = '\0';
        EXPECT_EQ(sscanf(dns, "%d.%d.%d.%d%c", &a, &b, &c, &d, &rest), 4) << dns;
        for (const int field : {a, b, c, d}) EXPECT_TRUE(field >= 0 && field <= 255) << dns;
    }
    EXPECT_STRNE(ProviderDnsPrimary, ProviderDnsSecondary);
}

TEST(AddressRules, MinimizedIconIsCentredWithTruncation) {
    const POINT origin = CenteredIconOrigin(100, 50, 32, 32);
    EXPECT_EQ(origin.x, 34);
    EXPECT_EQ(origin.y, 9);
    // Smaller than the icon: truncation toward zero, not toward minus infinity.
    const POINT tiny = CenteredIconOrigin(10, 0, 32, 32);
    EXPECT_EQ(tiny.x, -10);
    EXPECT_EQ(tiny.y, -15);
}

}  // namespace
