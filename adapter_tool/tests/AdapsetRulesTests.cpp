// In-process tests of Adapset's argument rules, validation, configuration plan and
// value encodings.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "AddressValidation.h"
#include "ConfigurationPlan.h"
#include "RegistryEncoding.h"
#include "RunDecision.h"
#include "settings_snapshot/AdapterAllowList.h"

namespace {

// Parameters taken from a list of arguments (after the program name).
std::vector<std::string> Taken(const std::vector<const char*>& arguments) {
    const char* parameters[kParameterCount] = {};
    TakeParameters(static_cast<int>(arguments.size()), arguments.data(), parameters);
    return std::vector<std::string>(parameters, parameters + kParameterCount);
}

// Eight parameters with the given settings; adapterName "1", an address, the default
// mask and the rest empty.
struct Settings {
    const char* values[kParameterCount] = {"1", "10.0.0.1", kDefaultMask, "", "", "", "", ""};
};

Refusal Check(int parameter, const std::string& text, Settings settings = Settings()) {
    settings.values[parameter] = text.c_str();
    return CheckSettings(settings.values);
}

// A valid address of 7 to 15 characters: fields "1", "10" or "100".
std::string AddressOfLength(size_t length) {
    size_t extra = length - 7;
    std::string address;
    for (int field = 0; field < 4; ++field) {
        const size_t grow = extra < 2 ? extra : 2;
        extra -= grow;
        address += (field > 0 ? "." : "") + std::string("1") + std::string(grow, '0');
    }
    return address;
}

// A comma-separated list of valid addresses exactly length characters long (>= 7).
std::string AddressListOfLength(size_t length) {
    const size_t count = (length + 1 + 15) / 16;
    size_t addressChars = length - (count - 1);
    std::string list;
    for (size_t i = 0; i < count; ++i) {
        const size_t left = count - i - 1;
        size_t size = addressChars - 7 * left;  // leave at least 7 for each one after
        if (size > 15) size = 15;
        addressChars -= size;
        list += (i > 0 ? "," : "") + AddressOfLength(size);
    }
    return list;
}

// A table of adapters known by their service names only.
AdapterTable Table(const std::vector<std::wstring>& services) {
    AdapterTable table;
    for (const std::wstring& service : services) {
        table.adapters.emplace_back();
        table.adapters.back().serviceName = service;
    }
    return table;
}

const AdapterTable kTwoAdapters = Table({L"{A1}", L"{B2}"});

}  // namespace

TEST(AdapsetParameters, OneArgumentIsTheAddressOfAdapterOne) {
    EXPECT_EQ(Taken({"192.168.5.20"}),
              (std::vector<std::string>{"1", "192.168.5.20", "255.255.255.0", "", "", "", "", ""}));
    // Even "*" is the address in the one-argument form.
    EXPECT_EQ(Taken({"*"})[kIpAddress], "*");
}

TEST(AdapsetParameters, ArgumentsFillInOrderAndMissingOnesTakeDefaults) {
    EXPECT_EQ(Taken({"2", "10.0.0.1"}),
              (std::vector<std::string>{"2", "10.0.0.1", "255.255.255.0", "", "", "", "", ""}));
    EXPECT_EQ(Taken({"1", "192.168.5.20", "255.255.255.0", "192.168.5.254", "168.95.1.1,168.95.192.1"}),
              (std::vector<std::string>{"1", "192.168.5.20", "255.255.255.0", "192.168.5.254",
                                        "168.95.1.1,168.95.192.1", "", "", ""}));
    const std::vector<std::string> nine = Taken(
        {"Svc", "1.1.1.1", "2.2.2.2", "3.3.3.3", "4.4.4.4", "5.5.5.5", "6.6.6.6", "7.7.7.7", "8.8.8.8"});
    EXPECT_EQ(nine, (std::vector<std::string>{"Svc", "1.1.1.1", "2.2.2.2", "3.3.3.3", "4.4.4.4", "5.5.5.5",
                                              "6.6.6.6", "7.7.7.7"}));
}

TEST(AdapsetParameters, LeadingStarStandsForTheDefaultExceptInTheAddress) {
    EXPECT_EQ(Taken({"*", "*", "*", "*", "*x", "**", "*1.1.1.1", "*"}),
              (std::vector<std::string>{"1", "*", "255.255.255.0", "", "", "", "", ""}));
    // Empty arguments stay empty, the mask included; a star later in the text is kept.
    EXPECT_EQ(Taken({"", "", "", "", "", "", "", ""}), std::vector<std::string>(8, ""));
    EXPECT_EQ(Taken({"a*", "1.1.1.1", "2*"})[kAdapterName], "a*");
    EXPECT_EQ(Taken({"a*", "1.1.1.1", "2*"})[kMask], "2*");
}

TEST(AdapsetAdapterNumber, DigitsAreReadAndOtherCharactersSkipped) {
    EXPECT_EQ(ParseAdapterNumber("12"), 12);
    EXPECT_EQ(ParseAdapterNumber("1a2"), 12);
    EXPECT_EQ(ParseAdapterNumber("2x"), 2);
    EXPECT_EQ(ParseAdapterNumber("0"), 0);
    EXPECT_EQ(ParseAdapterNumber("007"), 7);
    EXPECT_EQ(ParseAdapterNumber("2147483647"), INT_MAX);
}

TEST(AdapsetAdapterNumber, HugeNumbersSaturateInsteadOfWrapping) {
    EXPECT_EQ(ParseAdapterNumber("2147483648"), INT_MAX);
    EXPECT_EQ(ParseAdapterNumber("4294967297"), INT_MAX);  // would wrap to 1
    EXPECT_EQ(ParseAdapterNumber(std::string(5000, '9').c_str()), INT_MAX);
    EXPECT_EQ(ParseAdapterNumber(("1" + std::string(30, '0') + "2").c_str()), INT_MAX);
}

TEST(AdapsetAdapterNumber, ResolvesNumbersInRangeAndNamesAsTyped) {
    EXPECT_EQ(ResolveAdapter("1", L"1", kTwoAdapters), "{A1}");
    EXPECT_EQ(ResolveAdapter("2b", L"2b", kTwoAdapters), "{B2}");
    EXPECT_EQ(ResolveAdapter("0", L"0", kTwoAdapters), std::nullopt);
    EXPECT_EQ(ResolveAdapter("3", L"3", kTwoAdapters), std::nullopt);
    EXPECT_EQ(ResolveAdapter("4294967297", L"4294967297", kTwoAdapters), std::nullopt);
    EXPECT_EQ(ResolveAdapter("1", L"1", AdapterTable()), std::nullopt);
    EXPECT_EQ(ResolveAdapter("Other", L"Other", kTwoAdapters), "Other");
    EXPECT_EQ(ResolveAdapter("", L"", kTwoAdapters), "");
}

TEST(AdapsetValidation, DottedDecimalAddresses) {
    for (const char* good : {"0.0.0.0", "1.2.3.4", "192.168.5.20", "255.255.255.255", "10.0.100.9"})
        EXPECT_TRUE(IsIpv4Address(good)) << good;
    for (const char* bad :
         {"",         "*",        "1.2.3",     "1.2.3.4.5", "256.1.1.1",  "1.2.3.999", "01.2.3.4",
          "1.2.3.04", "1.2.3.00", "1..2.3",    ".1.2.3",    "1.2.3.4.",   " 1.2.3.4",  "1.2.3.4 ",
          "1.2.3.-4", "1.2.3.4,", "0x1.2.3.4", "1.2.3.4a",  "1234.1.1.1", "1.2.3.4\n"})
        EXPECT_FALSE(IsIpv4Address(bad)) << bad;
}

TEST(AdapsetValidation, AddressesInNetworkOrderWithoutTheSocketLibrary) {
    EXPECT_EQ(Ipv4NetworkOrder("192.168.5.20"), 0x1405A8C0ul);  // first field in the lowest byte
    EXPECT_EQ(Ipv4NetworkOrder("255.255.255.0"), 0x00FFFFFFul);
    EXPECT_EQ(Ipv4NetworkOrder("0.0.0.0"), 0ul);
    EXPECT_EQ(Ipv4NetworkOrder("10.0.100.9"), 0x0964000Aul);
    for (const char* bad : {"", "1.2.3", "256.1.1.1", "01.2.3.4", "1.2.3.4 "})
        EXPECT_EQ(Ipv4NetworkOrder(bad), 0xFFFFFFFFul) << bad;
}

TEST(AdapsetValidation, AddressLists) {
    for (const char* good : {"", "1.2.3.4", "168.95.1.1,168.95.192.1", "1.1.1.1,2.2.2.2,3.3.3.3"})
        EXPECT_TRUE(IsIpv4AddressList(good)) << good;
    for (const char* bad : {",", "1.2.3.4,", ",1.2.3.4", "1.2.3.4,,5.6.7.8", "1.2.3.4 5.6.7.8",
                            "1.2.3.4;5.6.7.8", "1.2.3.4,*", "*"})
        EXPECT_FALSE(IsIpv4AddressList(bad)) << bad;
}

TEST(AdapsetValidation, EachSettingIsCheckedAndNamed) {
    EXPECT_EQ(CheckSettings(Settings().values).kind, kNoRefusal);
    // Address and mask are required; the others may be empty, which clears them.
    for (int parameter : {kIpAddress, kMask}) {
        const Refusal empty = Check(parameter, "");
        EXPECT_EQ(empty.kind, kNotAnAddress);
        EXPECT_EQ(empty.parameter, parameter);
    }
    for (int parameter : {kGateway, kNameServer1, kNameServer2, kWinsServer1, kWinsServer2})
        EXPECT_EQ(Check(parameter, "").kind, kNoRefusal) << parameter;
    const Refusal star = Check(kIpAddress, "*");
    EXPECT_EQ(star.kind, kNotAnAddress);
    EXPECT_EQ(star.parameter, kIpAddress);
    // One address each: NetBT stores a WINS argument as one entry.
    for (int parameter : {kIpAddress, kMask, kGateway, kWinsServer1, kWinsServer2}) {
        const Refusal refusal = Check(parameter, "1.2.3.4,5.6.7.8");
        EXPECT_EQ(refusal.kind, kNotAnAddress);
        EXPECT_EQ(refusal.parameter, parameter);
    }
    for (int parameter : {kNameServer1, kNameServer2}) {
        EXPECT_EQ(Check(parameter, "1.2.3.4,5.6.7.8").kind, kNoRefusal);
        const Refusal refusal = Check(parameter, "1.2.3.4,");
        EXPECT_EQ(refusal.kind, kNotAnAddressList);
        EXPECT_EQ(refusal.parameter, parameter);
    }
}

TEST(AdapsetValidation, LengthLimitsOfSingleAndJoinedValues) {
    EXPECT_EQ(AddressListOfLength(127).size(), 127u);
    EXPECT_TRUE(IsIpv4AddressList(AddressListOfLength(127).c_str()));
    // One name-server argument may fill the joined string alone.
    EXPECT_EQ(Check(kNameServer1, AddressListOfLength(127)).kind, kNoRefusal);
    const Refusal tooLong = Check(kNameServer2, AddressListOfLength(128));
    EXPECT_EQ(tooLong.kind, kTooLong);
    EXPECT_EQ(tooLong.parameter, kNameServer2);
    EXPECT_EQ(tooLong.limit, 127u);

    Settings settings;
    const std::string first = AddressListOfLength(63), second63 = AddressListOfLength(63),
                      second64 = AddressListOfLength(64);
    settings.values[kNameServer1] = first.c_str();
    settings.values[kNameServer2] = second63.c_str();  // 63 + "," + 63 = 127
    EXPECT_EQ(CheckSettings(settings.values).kind, kNoRefusal);
    settings.values[kNameServer2] = second64.c_str();
    const Refusal together = CheckSettings(settings.values);
    EXPECT_EQ(together.kind, kTooLongTogether);
    EXPECT_EQ(together.parameter, kNameServer1);
    EXPECT_EQ(together.otherParameter, kNameServer2);

    // A WINS argument is one multi-string entry (126).
    EXPECT_EQ(Check(kWinsServer2, AddressListOfLength(127)).kind, kTooLong);

    // A long address is reported as too long rather than malformed.
    EXPECT_EQ(Check(kIpAddress, std::string(200, '1')).kind, kTooLong);
    EXPECT_EQ(Check(kIpAddress, std::string(126, '1')).kind, kNotAnAddress);
}

TEST(AdapsetValidation, ServiceNames) {
    EXPECT_EQ(CheckServiceName("{4D36E972-E325-11CE-BFC1-08002BE10318}").kind, kNoRefusal);
    EXPECT_EQ(CheckServiceName(std::string(127, 'S').c_str()).kind, kNoRefusal);
    EXPECT_EQ(CheckServiceName(std::string(128, 'S').c_str()).kind, kTooLong);
    EXPECT_EQ(CheckServiceName("").kind, kNotAServiceName);
    EXPECT_EQ(CheckServiceName("Tcpip\\Parameters").kind, kNotAServiceName);
}

TEST(AdapsetDecision, UsageRefusalOrConfiguration) {
    EXPECT_EQ(DecideRun(0, nullptr, kTwoAdapters).action, kShowUsage);

    const char* wizard3[] = {"3", "192.168.5.20", "255.255.255.0", "192.168.5.254",
                             "168.95.1.1,168.95.192.1"};
    EXPECT_EQ(DecideRun(5, wizard3, kTwoAdapters).action, kShowUsage);
    wizard3[0] = "2";
    RunDecision second = DecideRun(5, wizard3, kTwoAdapters);
    ASSERT_EQ(second.action, kConfigure);
    ASSERT_TRUE(second.settings);
    EXPECT_STREQ(second.settings->ServiceName(), "{B2}");
    EXPECT_STREQ(second.settings->Value(kNameServer1), "168.95.1.1,168.95.192.1");

    // Bad settings are refused before the adapter number is looked at.
    const char* badOutOfRange[] = {"9", "1.2.3.256"};
    const RunDecision refused = DecideRun(2, badOutOfRange, kTwoAdapters);
    EXPECT_EQ(refused.action, kRefuse);
    EXPECT_EQ(refused.refusal.parameter, kIpAddress);

    const char* longName[] = {nullptr, "1.2.3.4"};
    const std::string name(128, 'N');
    longName[0] = name.c_str();
    EXPECT_EQ(DecideRun(2, longName, kTwoAdapters).action, kRefuse);

    // A long service name from the table is refused too.
    const AdapterTable longTable = Table({std::wstring(200, L'L')});
    const char* first[] = {"1", "1.2.3.4"};
    EXPECT_EQ(DecideRun(2, first, longTable).action, kRefuse);

    // "/restore" in any case lists, with a file restores, with "original" and an adapter
    // restores its original; anything else after the file is refused.
    const char* restore[] = {"/Restore", "20261208-225301-adapset-{A1}.reg", "1.2.3.4"};
    EXPECT_EQ(DecideRun(1, restore, kTwoAdapters).action, kListSnapshots);
    EXPECT_EQ(DecideRun(2, restore, kTwoAdapters).action, kRestore);
    const RunDecision extra = DecideRun(3, restore, kTwoAdapters);
    EXPECT_EQ(extra.action, kRefuse);
    EXPECT_EQ(RefusalMessage(extra.refusal),
              "Too many arguments: adapset /restore [snapshot file | original adapterName]\n");
    const char* original[] = {"/restore", "ORIGINAL", "2", "x"};
    EXPECT_EQ(DecideRun(3, original, kTwoAdapters).action, kRestoreOriginal);
    EXPECT_EQ(DecideRun(2, original, kTwoAdapters).action, kRestore);  // a file named so
    EXPECT_EQ(DecideRun(4, original, kTwoAdapters).action, kRefuse);
}

TEST(AdapsetDecision, CheckLocatesItsAdapterAsConfiguringDoes) {
    AdapterTable table = kTwoAdapters;
    table.adapters[1].connectionName = L"\u4E59\u592A\u7DB2\u8DEF";  // matched in UTF-16, not the code page
    const char* check[] = {"/CHECK", "2", "extra"};
    RunDecision second = DecideRun(2, check, table);
    EXPECT_EQ(second.action, kCheck);
    EXPECT_STREQ(second.parameters[kAdapterName], "2");
    EXPECT_EQ(second.checkedService, "{B2}");
    check[1] = "?";
    EXPECT_EQ(DecideRun(2, check, table, {L"/check", L"\u4E59\u592A\u7DB2\u8DEF"}).checkedService, "{B2}");
    check[1] = "3";  // out of range: nothing to check, and no listing either
    const RunDecision outOfRange = DecideRun(2, check, table);
    EXPECT_EQ(outOfRange.action, kCheck);
    EXPECT_EQ(outOfRange.checkedService, std::nullopt);
    for (const int count : {1, 3}) {
        const RunDecision refused = DecideRun(count, check, table);
        EXPECT_EQ(refused.action, kRefuse);
        EXPECT_EQ(RefusalMessage(refused.refusal), "Usage: adapset /check adapterName\n");
    }
}

TEST(AdapsetMessages, RefusalsAreOneLineNamingTheArgument) {
    EXPECT_EQ(RefusalMessage(Check(kIpAddress, "*")), "Argument ipAddress is not an IPv4 address: \"*\"\n");
    EXPECT_EQ(RefusalMessage(Check(kNameServer2, "1.1.1.1,x")),
              "Argument nameServer2 is not a list of IPv4 addresses: \"1.1.1.1,x\"\n");
    EXPECT_EQ(RefusalMessage(Check(kGateway, std::string(127, '9'))),
              "Argument gateway is too long (at most 126 characters)\n");
    EXPECT_EQ(RefusalMessage(CheckServiceName(std::string(300, 'x').c_str())),
              "Argument adapterName: service name too long (at most 127 characters)\n");
    EXPECT_EQ(RefusalMessage(CheckServiceName("a\\b")),
              "Argument adapterName is not a service name: \"a\\b\"\n");
    EXPECT_EQ(RefusalMessage(Check(kMask, "1.2.3.4\n5")),
              "Argument mask is not an IPv4 address: \"1.2.3.4?5\"\n");
    Settings settings;
    const std::string a = AddressListOfLength(100), b = AddressListOfLength(100);
    settings.values[kNameServer1] = a.c_str();
    settings.values[kNameServer2] = b.c_str();
    EXPECT_EQ(RefusalMessage(CheckSettings(settings.values)),
              "Arguments nameServer1 and nameServer2 are too long together (at most 127 characters)\n");
    EXPECT_EQ(RefusalMessage(Refusal()), "");
}

TEST(AdapsetEncoding, RegistryBytes) {
    using namespace std::string_literals;
    EXPECT_EQ(StringBytes(""), "\0"s);
    EXPECT_EQ(StringBytes("1.2.3.4"), "1.2.3.4\0"s);
    EXPECT_EQ(MultiStringBytes(""), "\0\0"s);
    EXPECT_EQ(MultiStringBytes("10.0.0.1"), "10.0.0.1\0\0"s);
    EXPECT_EQ(MultiStringPairBytes("1.1.1.1", "2.2.2.2"),
              "1.1.1.1\0"
              "2.2.2.2\0\0"s);
    EXPECT_EQ(MultiStringPairBytes("1.1.1.1", "2.2.2.2").size(), 7u + 7u + 3u);
    EXPECT_EQ(DwordBytes(0), "\0\0\0\0"s);
    EXPECT_EQ(DwordBytes(0x01020304), "\x04\x03\x02\x01"s);
}

// The plan of one configuration: (key, value, bytes) in write order.
std::vector<std::string> PlanLines(const std::vector<const char*>& arguments) {
    const RunDecision decision =
        DecideRun(static_cast<int>(arguments.size()), arguments.data(), Table({L"{A1}"}));
    EXPECT_EQ(decision.action, kConfigure);
    std::vector<std::string> lines;
    if (!decision.settings) return lines;
    for (const KeyWrites& key : PlanConfiguration(*decision.settings))
        for (const ValueWrite& value : key.values)
            lines.push_back(key.path + (key.adapterKey ? " [adapter] " : " ") + value.name + " " +
                            std::to_string(value.type) + " " + value.bytes);
    return lines;
}

TEST(AdapsetPlan, EveryLocationInOrderAndDhcpOffInBothAdapterKeys) {
    using namespace std::string_literals;
    const std::string tcpip = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
    const std::string netbt = "SYSTEM\\CurrentControlSet\\Services\\NetBT\\";
    const std::string adapter = "SYSTEM\\CurrentControlSet\\Services\\{A1}\\Parameters\\Tcpip [adapter] ";
    const std::string interfaceKey = tcpip + "\\Interfaces\\{A1} [adapter] ";
    const std::string off = "EnableDHCP 4 \0\0\0\0"s;
    EXPECT_EQ(
        PlanLines({"1", "10.1.1.1", "*", "10.1.1.254", "1.1.1.1", "2.2.2.2", "3.3.3.3", "4.4.4.4"}),
        (std::vector<std::string>{
            adapter + "IPAddress 7 10.1.1.1\0\0"s, adapter + "SubnetMask 7 255.255.255.0\0\0"s,
            adapter + "DefaultGateway 7 10.1.1.254\0\0"s, adapter + off,
            interfaceKey + "IPAddress 7 10.1.1.1\0\0"s, interfaceKey + "SubnetMask 7 255.255.255.0\0\0"s,
            interfaceKey + "DefaultGateway 7 10.1.1.254\0\0"s,
            interfaceKey + "NameServer 1 1.1.1.1,2.2.2.2\0"s, interfaceKey + off,
            tcpip + " NameServer 1 1.1.1.1 2.2.2.2\0"s,
            netbt + "Parameters\\Interfaces\\Tcpip_{A1} NameServerList 7 3.3.3.3\0"s + "4.4.4.4\0\0"s,
            netbt + "Adapters\\{A1} NameServer 1 3.3.3.3\0"s,
            netbt + "Adapters\\{A1} NamerServerBackup 1 4.4.4.4\0"s}));
    // Without WINS servers the NetBT adapter key gets nothing, so it is not in the plan.
    const std::vector<std::string> wizard =
        PlanLines({"1", "10.1.1.1", "*", "10.1.1.254", "1.1.1.1,2.2.2.2"});
    ASSERT_EQ(wizard.size(), 11u);
    EXPECT_EQ(wizard.back(), netbt + "Parameters\\Interfaces\\Tcpip_{A1} NameServerList 7 \0\0"s);
}

// Every value a configuration writes is one a snapshot may hold, so the snapshot saved
// before it can be restored; and the wizard, which runs the tool without WINS servers,
// saves each of them first.
TEST(AdapsetPlan, EveryValueItWritesIsOneOurSnapshotsHoldAndTheWizardSaves) {
    const SettingsSnapshot::AdapterAllowList allowed({L"{A1}"});
    const std::vector<SettingsSnapshot::KeyRequest> wizardSaves =
        SettingsSnapshot::AdapterRequests(L"{A1}", false);
    for (const bool withWins : {true, false}) {
        std::vector<const char*> arguments = {"1", "10.1.1.1", "*", "10.1.1.254", "1.1.1.1", "2.2.2.2"};
        if (withWins) arguments.insert(arguments.end(), {"3.3.3.3", "4.4.4.4"});
        const RunDecision decision =
            DecideRun(static_cast<int>(arguments.size()), arguments.data(), Table({L"{A1}"}));
        ASSERT_TRUE(decision.settings);
        for (const KeyWrites& key : PlanConfiguration(*decision.settings)) {
            const std::wstring path(key.path.begin(), key.path.end());
            EXPECT_FALSE(allowed.KeyFault(path)) << key.path;
            std::vector<std::wstring> saved;
            for (const SettingsSnapshot::KeyRequest& request : wizardSaves)
                if (request.path == path) saved = request.valueNames;
            for (const ValueWrite& value : key.values) {
                std::vector<BYTE> utf16;  // the ASCII text as the registry stores it
                for (const char c : value.bytes) utf16.insert(utf16.end(), {static_cast<BYTE>(c), 0});
                if (value.type == REG_DWORD) utf16.assign(value.bytes.begin(), value.bytes.end());
                const std::wstring name(value.name, value.name + strlen(value.name));
                if (!withWins) {
                    EXPECT_NE(std::find(saved.begin(), saved.end(), name), saved.end())
                        << key.path << " " << value.name;
                }
                EXPECT_FALSE(allowed.ValueFault(
                    path, SettingsSnapshot::SnapshotValue::Present(name, value.type, utf16)))
                    << key.path << " " << value.name;
            }
        }
    }
}

TEST(AdapsetEncoding, NameServerJoin) {
    EXPECT_EQ(JoinNameServers("1.1.1.1", "2.2.2.2", ','), "1.1.1.1,2.2.2.2");
    EXPECT_EQ(JoinNameServers("1.1.1.1", "2.2.2.2", ' '), "1.1.1.1 2.2.2.2");
    EXPECT_EQ(JoinNameServers("", "2.2.2.2", ','), "2.2.2.2");
    EXPECT_EQ(JoinNameServers("1.1.1.1", "", ' '), "1.1.1.1");
    EXPECT_EQ(JoinNameServers("", "", ','), "");
    // Inner separators of an argument are kept as passed.
    EXPECT_EQ(JoinNameServers("168.95.1.1,168.95.192.1", "", ' '), "168.95.1.1,168.95.192.1");
}
