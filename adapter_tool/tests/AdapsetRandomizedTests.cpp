// Feeds thousands of generated command lines through Adapset's argument rules and
// checks each outcome against an independent reading of the rules: nothing crashes,
// refused input never leads to a configuration, and accepted input fits every limit.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "RegistryEncoding.h"
#include "RunDecision.h"

namespace {

// Oracle: four dot-separated fields of 1-3 digits, no leading zero, at most 255.
bool OracleAddress(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == '.')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    if (fields.size() != 4) return false;
    for (const std::string& field : fields) {
        if (field.empty() || field.size() > 3) return false;
        if (field.find_first_not_of("0123456789") != std::string::npos) return false;
        if (field.size() > 1 && field[0] == '0') return false;
        if (std::stoi(field) > 255) return false;
    }
    return true;
}

bool OracleList(const std::string& text) {
    if (text.empty()) return true;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        if (!OracleAddress(text.substr(start, comma - start))) return false;
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// Oracle: the parameters the rules should produce.
std::vector<std::string> OracleParameters(const std::vector<std::string>& args) {
    const std::vector<std::string> defaults = {"1", "", "255.255.255.0", "", "", "", "", ""};
    std::vector<std::string> p = defaults;
    if (args.size() == 1) {
        p[kIpAddress] = args[0];
        return p;
    }
    for (size_t i = 0; i < args.size() && i < 8; ++i)
        p[i] = (i != kIpAddress && !args[i].empty() && args[i][0] == '*') ? defaults[i] : args[i];
    return p;
}

bool OracleSettingsAccepted(const std::vector<std::string>& p) {
    for (int i : {kIpAddress, kMask})
        if (!OracleAddress(p[i])) return false;
    for (int i : {kGateway, kWinsServer1, kWinsServer2})
        if (!p[i].empty() && !OracleAddress(p[i])) return false;
    for (int i : {kNameServer1, kNameServer2})
        if (!OracleList(p[i])) return false;
    const std::string& n1 = p[kNameServer1];
    const std::string& n2 = p[kNameServer2];
    const size_t joined = n1.size() + n2.size() + (!n1.empty() && !n2.empty() ? 1 : 0);
    return joined <= 127;
}

// Oracle for an adapter number: digits only, compared with the count without overflow.
bool OracleNumberInRange(const std::string& name, size_t count, size_t* number) {
    unsigned long long value = 0;
    for (char c : name) {
        if (c < '0' || c > '9') continue;
        value = value * 10 + (c - '0');
        if (value > 1000000) value = 1000000;  // far above any table here
    }
    *number = static_cast<size_t>(value);
    return value >= 1 && value <= count;
}

// Random text from characters that matter to the rules, sometimes very long.
// A plausible text is empty, "*", an adapter number, or valid addresses.
std::string RandomText(std::mt19937& rng, bool plausible) {
    static const char alphabet[] = "0123456789..,,**\\ abzZ-\t\x80\xA4\xFF";
    std::uniform_int_distribution<int> kind(0, plausible ? 5 : 9);
    auto number = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    auto address = [&] {
        std::string a;
        for (int f = 0; f < 4; ++f)
            a += (f ? "." : "") + std::to_string(number(0, plausible || number(0, 1) ? 255 : 300));
        return a;
    };
    switch (kind(rng)) {
        case 0:
            return "";
        case 1:
            return std::string("*") + (number(0, 1) ? "" : address());
        case 2:
        case 3:
            return address();
        case 4: {
            std::string list = address();
            for (int n = number(0, plausible ? 3 : 12); n > 0; --n) list += "," + address();
            return list;
        }
        case 5:
            return std::to_string(number(0, 80)) + (number(0, 1) ? "" : std::string(number(0, 20), '9'));
        case 6: {
            std::string bytes(number(0, 400), '\0');
            for (char& c : bytes) c = static_cast<char>(number(1, 255));
            return bytes;
        }
        default: {
            std::string text(number(0, number(0, 3) ? 24 : 300), ' ');
            for (char& c : text) c = alphabet[number(0, sizeof alphabet - 2)];
            return text;
        }
    }
}

}  // namespace

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

TEST(AdapsetRandomized, GeneratedCommandLinesFollowTheRules) {
    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);

    std::vector<std::string> many;
    for (int i = 0; i < 70; ++i) many.push_back("{Card" + std::to_string(i) + "}");
    const std::vector<std::string> services[] = {
        {}, {"{A1}", "{B2}"}, many, {std::string(128, 'L'), "Tcpip\\X", ""}};
    AdapterTable tables[4];
    for (int i = 0; i < 4; ++i)
        for (const std::string& service : services[i]) {
            tables[i].adapters.emplace_back();
            tables[i].adapters.back().serviceName.assign(service.begin(), service.end());
        }

    int configured = 0, refused = 0, usage = 0;
    for (int run = 0; run < 20000; ++run) {
        std::vector<std::string> args(std::uniform_int_distribution<int>(0, 10)(rng));
        const bool plausible = run % 3 == 0;
        for (std::string& a : args) a = RandomText(rng, plausible);
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        const AdapterTable& table = tables[run % 4];
        const std::vector<std::string>& serviceNames = services[run % 4];

        const RunDecision decision = DecideRun(static_cast<int>(argv.size()), argv.data(), table);

        if (args.empty()) {
            ASSERT_EQ(decision.action, kShowUsage);
            ++usage;
            continue;
        }
        const std::vector<std::string> p = OracleParameters(args);
        for (int i = 0; i < kParameterCount; ++i)
            ASSERT_EQ(decision.parameters[i], p[i]) << "parameter " << i;

        if (decision.action == kRefuse) {
            ++refused;
            const std::string message = RefusalMessage(decision.refusal);
            ASSERT_GT(message.size(), 1u);
            ASSERT_EQ(message.find('\n'), message.size() - 1) << message;
            ASSERT_NE(message.find("Argument"), std::string::npos) << message;
        }
        if (!OracleSettingsAccepted(p)) {
            ASSERT_EQ(decision.action, kRefuse) << "accepted bad settings";
            continue;
        }
        std::string service = p[kAdapterName];
        const bool byNumber = !service.empty() && service[0] >= '0' && service[0] <= '9';
        size_t number = 0;
        if (byNumber) {
            if (!OracleNumberInRange(service, serviceNames.size(), &number)) {
                ASSERT_EQ(decision.action, kShowUsage);
                ++usage;
                continue;
            }
            service = serviceNames[number - 1];
        } else {
            // A name the table holds in another case is taken in the table's spelling.
            for (const std::string& known : serviceNames)
                if (!service.empty() && Lower(known) == Lower(service)) {
                    service = known;
                    break;
                }
        }
        const bool serviceOk =
            !service.empty() && service.size() <= 127 && service.find('\\') == std::string::npos;
        if (!serviceOk) {
            ASSERT_EQ(decision.action, kRefuse) << "accepted service name " << service;
            continue;
        }
        ASSERT_EQ(decision.action, kConfigure);
        ASSERT_EQ(decision.settings->ServiceName(), service);
        ++configured;
        // Everything the configuration assembles fits the tool's 128-byte values.
        for (int i : {kIpAddress, kMask, kGateway, kWinsServer1, kWinsServer2})
            ASSERT_LE(MultiStringBytes(decision.parameters[i]).size(), 128u);
        ASSERT_LE(StringBytes(JoinNameServers(decision.parameters[kNameServer1],
                                              decision.parameters[kNameServer2], ',')
                                  .c_str())
                      .size(),
                  128u);
        if (!p[kWinsServer1].empty() && !p[kWinsServer2].empty()) {
            ASSERT_LE(
                MultiStringPairBytes(decision.parameters[kWinsServer1], decision.parameters[kWinsServer2])
                    .size(),
                128u);
        }
    }
    // The generator reaches every outcome often (a configuration needs an address
    // and a mask, so it is the rarest).
    EXPECT_GT(configured, 200);
    EXPECT_GT(refused, 500);
    EXPECT_GT(usage, 500);
}
