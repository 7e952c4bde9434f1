// The derivation rule of the entry page, without a window.
#include <gtest/gtest.h>

#include <string>

#include "AddressRules.h"

namespace {

struct Case {
    const char* address;
    const char* thirdField;
    const char* gateway;
    bool applies;
};

// What the address control reports, and the odd texts the rule must still survive.
const Case kCases[] = {
    {"192.168.5.20", "5", "192.168.5.254", true},
    {"10.1.0.7", "0", "10.1.0.254", false},    // third field exactly "0": nothing is filled
    {"10.1.00.7", "00", "10.1.00.254", true},  // "00" is not "0"
    {"1.2.3.0", "3", "1.2.3.254", true},       // the fourth field is never examined
    {"1.2.3.", "3", "1.2.3.254", true},        // fourth field not typed yet
    {"1.2..", "", "1.2..254", true},           // blank third field is not "0"
    {"", "", ".254", true},                    // empty text
    {"192168520", "", ".254", true},           // no dot at all
    {"a.b", "a", "a.254", true},               // one dot: the first part counts as third field
    {"0.0", "0", "0.254", false},
};

TEST(AddressRules, ThirdFieldGatewayAndReadiness) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(ExtractThirdField(c.address), c.thirdField);
        EXPECT_EQ(DeriveGateway(c.address), c.gateway);
        EXPECT_EQ(DerivationApplies(c.address), c.applies);
    }
}

TEST(AddressRules, ComparisonIsExactAndByteWise) {
    EXPECT_TRUE(DerivationApplies("1.2. 0.4"));
    EXPECT_TRUE(DerivationApplies("1.2.0 .4"));
    // Big5 text (two-byte characters) neither crashes nor counts as "0".
    EXPECT_TRUE(DerivationApplies("1.2.\xA4\x40.4"));
    EXPECT_EQ(ExtractThirdField("1.2.\xA4\x40.4"), "\xA4\x40");
}

TEST(AddressRules, ConstantsAreConsistentAddresses) {
    EXPECT_STREQ(FixedSubnetMask, "255.255.255.0");
    EXPECT_STREQ(GatewaySuffix, ".254");
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
