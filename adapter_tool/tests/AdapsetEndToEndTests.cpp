// Runs the built Adapset.exe as a child process under Wine against a seeded registry,
// with a recording double of the DHCP client library in the system directory, and
// checks its output, exit status, every value it writes or leaves alone, and the
// notification.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "settings_snapshot/ApplyRecord.h"
#include "settings_snapshot/DataFolder.h"
#include "settings_snapshot/RegFileFormat.h"

#include "test_support/PrefixChanges.h"
#include "test_support/TestMachine.h"
#include "test_support/Process.h"
#include "test_support/RegistryFixture.h"

using namespace TestSupport;
using TestSupport::MultiStringValue;
using TestSupport::RawValue;
using TestSupport::StringValue;

namespace {

const char kUsage[] =
    "\nadapset - Version 2.2, static TCP/IP settings of a network adapter\n\n"
    "Usage: adapset adapterName ipAddress mask gateway nameServer1 nameServer2 winsServer1 winsServer2\n\n"
    "\tUse no parameters to display a numbered list of adapter names.\n"
    "\tYou may use the adapter number or the connection name instead of the name.\n"
    "\tThe default adapterName (use *) is the first adapter in your system.\n"
    "\tThe mask defaults to 255.255.255.0.\n"
    "\tUse * to omit intermediate parameters.\n"
    "\tMissing parameters will be set to empty strings.\n";

const char kWizardDns[] = "168.95.1.1,168.95.192.1";

const char kElevationHint[] =
    "Access to the registry was refused: run Adapset from an elevated command prompt (Run as "
    "administrator).\n";

// Console text mode writes each line feed as CR LF.
std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// Which dhcpcsvc the tool finds.
enum class Dhcp { Double, Missing, WithoutEntry };

struct ToolRun {
    TestSupport::ProcessResult result;
    std::string notifications;  // the double's log: one line per call
};

class AdapsetEndToEnd : public ::testing::Test {
protected:
    // Trees the tool may touch, captured once and put back after all tests.
    static std::vector<std::string> Roots() {
        std::vector<std::string> roots = {kNetworkCards, kTcpipParameters, kNetbt,
                                          std::string(kServices) + "NoSuchService"};
        for (const SeedAdapter& a : TwoAdapterMachine()) roots.push_back(kServices + a.service);
        roots.push_back(kServices + ThirdAdapter().service);
        for (int i = 0; i < 70; ++i) roots.push_back(kServices + ManyService(i));
        roots.push_back(kServices + LongService());
        for (const std::string& root : AdapterRoots(Windows10Machine())) roots.push_back(root);
        return roots;
    }
    static std::string ManyService(int i) {
        return "{7C000000-0000-4000-8000-0000000000" + std::to_string(10 + i) + "}";
    }
    static std::string LongService() { return "Svc" + std::string(130, 'L'); }
    static SeedAdapter ThirdAdapter() {
        return {"13", "Third Adapter", "{6B1E24D0-7F3C-4E1A-9D2B-5A1C0E8F3A03}", "10.0.3.", true};
    }

    static constexpr const char* kNoDhcpOverrides = "Software\\Wine\\AppDefaults\\AdapsetNoDhcp.exe";

    static std::string DoublePath(const char* directory) {
        return TestSupport::ModuleDirectory() + directory + "\\dhcpcsvc.dll";
    }
    static std::string SystemDhcpClient() { return TestSupport::SystemDirectory() + "\\dhcpcsvc.dll"; }

    static void SetUpTestSuite() {
        original_ = new Snapshot(CaptureTrees(Roots()));
        // The recording double where the tool loads the library from, taken over
        // Wine's own; both are put back after the suite.
        systemDouble_ = new TestSupport::ScopedFileCopy(DoublePath("double"), SystemDhcpClient());
        nativeDhcp_ = new TestSupport::ScopedDllOverride("dhcpcsvc", "native");
        // Empty text disables the library for that program: loading it fails.
        TestSupport::WriteRawValue(HKEY_CURRENT_USER, std::string(kNoDhcpOverrides) + "\\DllOverrides",
                                   "dhcpcsvc", StringValue(""));
    }
    static void TearDownTestSuite() {
        TestSupport::DeleteTree(HKEY_CURRENT_USER, kNoDhcpOverrides);
        delete nativeDhcp_;
        delete systemDouble_;
        EXPECT_TRUE(RestoreTrees(Roots(), *original_));
        delete original_;
        original_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(systemDouble_->Placed()) << "no DHCP client double in " << SystemDhcpClient();
        adapters_ = TwoAdapterMachine();
        for (SeedAdapter& a : adapters_) a.dhcpEnabled = true;  // so that turning it off shows
        ASSERT_TRUE(SeedMachine(adapters_));
        services_ = EnumeratedServices();
        ASSERT_EQ(services_.size(), 2u);
        // Runs get a ProgramData variable that points here; the tool must not follow it.
        programData_ = std::make_unique<TestSupport::ScratchFolder>("adapset-programdata");
        TestSupport::RemoveFolderTree(DataFolder());
        Remember();
    }
    void TearDown() override {
        EXPECT_EQ(programData_->FileNames("Tarvelo\\Backups"), std::vector<std::string>());
    }

    // The machine's data folder and the folder the tool saves its snapshots in.
    static std::string DataFolder() {
        const std::wstring folder = SettingsSnapshot::TarveloDataFolder().Value();
        return std::string(folder.begin(), folder.end());
    }
    static std::string Backups() { return DataFolder() + "\\Backups"; }
    static std::vector<std::string> BackupNames() { return TestSupport::FolderFileNames(Backups()); }

    // The one snapshot file in the backup folder, after checking its name.
    std::string OnlySnapshot(const std::string& service) const {
        const std::vector<std::string> files = BackupNames();
        EXPECT_EQ(files.size(), 1u);
        if (files.empty()) return "";
        EXPECT_TRUE(
            std::regex_match(files[0], std::regex("\\d{8}-\\d{6}-adapset-\\" + service + "-original\\.reg")))
            << files[0];
        return Backups() + "\\" + files[0];
    }

    // Takes the current registry as the state expected after the next run.
    void Remember() { expected_ = CaptureTrees(Roots()); }

    void Expect(const std::string& path, const std::string& name, const RawValue& value) {
        expected_.values[Lower(path + "|" + name)] = value;
    }

    // Which adapter keys a run writes.
    enum class Keys { Both, AdapterOnly, InterfaceOnly };

    // Expects the three address values and DHCP off in the adapter TCP/IP key and the
    // interface key.
    void ExpectAddresses(const std::string& service, const std::string& ip, const std::string& mask,
                         const std::string& gateway, Keys which = Keys::Both) {
        std::vector<std::string> keys;
        if (which != Keys::InterfaceOnly) keys.push_back(AdapterTcpipKey(service));
        if (which != Keys::AdapterOnly) keys.push_back(InterfaceKey(service));
        for (const std::string& key : keys) {
            Expect(key, "IPAddress", MultiStringValue({ip}));
            Expect(key, "SubnetMask", MultiStringValue({mask}));
            Expect(key, "DefaultGateway", MultiStringValue({gateway}));
            Expect(key, "EnableDHCP", TestSupport::DwordValue(0));
        }
    }

    // Expects the name-server values of steps 2 and 3 and the WINS list of step 4.
    void ExpectServers(const std::string& service, const std::string& commaList, const std::string& spaceList,
                       const std::vector<std::string>& winsList) {
        Expect(InterfaceKey(service), "NameServer", StringValue(commaList));
        Expect(kTcpipParameters, "NameServer", StringValue(spaceList));
        Expect(NetbtInterfaceKey(service), "NameServerList", MultiStringValue(winsList));
    }

    // Compares every key and value of the watched trees with the expected state.
    void CheckRegistry() {
        for (const std::string& difference : SnapshotDifferences(expected_, CaptureTrees(Roots())))
            ADD_FAILURE() << difference;
    }

    // Runs the tool with a command-line tail, the chosen DHCP library and the status
    // the double returns; expects errorOutput on standard error
    // (nullptr: not checked). Snapshots go below the test's own ProgramData folder.
    ToolRun RunTool(const std::string& arguments, Dhcp dhcp = Dhcp::Double, const std::string& status = "0",
                    const char* errorOutput = "") {
        // Adapset.exe runs beside a planted dhcpcsvc.dll without the notification: a
        // tool that loaded it instead of the system directory's would fail every
        // notification. The copy without any library has a per-program override (see
        // SetUpTestSuite) that disables Wine's stub.
        const std::string dir =
            TestSupport::ModuleDirectory() + (dhcp == Dhcp::Missing ? "nodouble\\" : "planted\\");
        const std::string program = dir + (dhcp == Dhcp::Missing ? "AdapsetNoDhcp.exe" : "Adapset.exe");
        std::unique_ptr<TestSupport::ScopedFileCopy> withoutEntry;
        if (dhcp == Dhcp::WithoutEntry)
            withoutEntry = std::make_unique<TestSupport::ScopedFileCopy>(DoublePath("noentry-double"),
                                                                         SystemDhcpClient());
        const std::string log = TestSupport::ArtifactPath("adapset-notify.log");
        DeleteFileA(log.c_str());
        ToolRun run;
        run.result = TestSupport::RunProcess(
            "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments), dir, 60000,
            {{"ADAPSET_DOUBLE_LOG", log},
             {"ADAPSET_DOUBLE_STATUS", status},
             {"ProgramData", programData_->Path()}});
        EXPECT_FALSE(run.result.timedOut);
        if (errorOutput != nullptr) {
            EXPECT_EQ(run.result.errorOutput, Crlf(errorOutput));
        }
        run.notifications = TestSupport::ReadFileBytes(log);
        return run;
    }

    // The double's line for one successful call.
    static std::string Notification(const std::string& service, const std::string& ip,
                                    const std::string& mask = "255.255.255.0") {
        return "server=null adapter=" + service + " new=1 index=0 ip=" + ip + " mask=" + mask + " action=0\n";
    }

    // The listing part of the usage text for the given (description, name) lines, of
    // adapters without a connection or class entry.
    static std::string Listing(const std::vector<std::pair<std::string, std::string>>& cards) {
        std::string text = "\nNetwork adapters:\n";
        for (size_t i = 0; i < cards.size(); ++i)
            text += "\n" + std::to_string(i + 1) + ":\t" + cards[i].first + "\n\tName: " + cards[i].second +
                    "\n\tConnection: (none)\n\tState: other, unknown\n";
        return text;
    }

    // The usage text with the seeded two adapters, in enumeration order.
    std::string UsageWithTwoAdapters() const {
        std::vector<std::pair<std::string, std::string>> cards;
        for (const std::string& service : services_)
            for (const SeedAdapter& a : adapters_)
                if (a.service == service) cards.emplace_back(a.description, a.service);
        return Crlf(kUsage + Listing(cards));
    }

    // Old address prefix of a seeded service ("10.0.1." or "10.0.2.").
    std::string Old(const std::string& service) const {
        for (const SeedAdapter& a : adapters_)
            if (a.service == service) return a.oldAddress;
        return "";
    }

    static Snapshot* original_;
    static TestSupport::ScopedFileCopy* systemDouble_;
    static TestSupport::ScopedDllOverride* nativeDhcp_;
    std::vector<SeedAdapter> adapters_;
    std::vector<std::string> services_;  // adapter n is services_[n - 1]
    Snapshot expected_;
    std::unique_ptr<TestSupport::ScratchFolder> programData_;
};

Snapshot* AdapsetEndToEnd::original_ = nullptr;
TestSupport::ScopedFileCopy* AdapsetEndToEnd::systemDouble_ = nullptr;
TestSupport::ScopedDllOverride* AdapsetEndToEnd::nativeDhcp_ = nullptr;

}  // namespace

TEST_F(AdapsetEndToEnd, NoArgumentsShowUsageAndListingAndChangeNothing) {
    const ToolRun run = RunTool("");
    EXPECT_EQ(run.result.output, UsageWithTwoAdapters());
    EXPECT_EQ(run.result.exitCode, 0u);
    EXPECT_EQ(run.notifications, "");
    CheckRegistry();
}

TEST_F(AdapsetEndToEnd, OneArgumentIsTheAddressOfAdapterOne) {
    const std::string& first = services_[0];
    const ToolRun run = RunTool("192.168.5.20");
    EXPECT_EQ(run.result.output, "");
    EXPECT_EQ(run.result.exitCode, 0u);
    ExpectAddresses(first, "192.168.5.20", "255.255.255.0", "");
    ExpectServers(first, "", "", {""});
    CheckRegistry();  // the NetBT adapter key keeps both old WINS values
    EXPECT_EQ(run.notifications, Notification(first, "192.168.5.20"));
}

TEST_F(AdapsetEndToEnd, WizardRunsForAdaptersOneTwoAndThreeOnTwoAdapters) {
    const std::string tail = std::string(" 192.168.5.20 255.255.255.0 192.168.5.254 ") + kWizardDns;
    for (int adapter = 1; adapter <= 2; ++adapter) {
        SCOPED_TRACE("adapter " + std::to_string(adapter));
        const std::string& service = services_[adapter - 1];
        const ToolRun run = RunTool(std::to_string(adapter) + tail);
        EXPECT_EQ(run.result.output, "");
        EXPECT_EQ(run.result.exitCode, 0u);
        ExpectAddresses(service, "192.168.5.20", "255.255.255.0", "192.168.5.254");
        ExpectServers(service, kWizardDns, kWizardDns, {""});
        CheckRegistry();
        EXPECT_EQ(run.notifications, Notification(service, "192.168.5.20"));
    }
    const ToolRun third = RunTool("3" + tail);
    EXPECT_EQ(third.result.output, UsageWithTwoAdapters());
    EXPECT_EQ(third.result.exitCode, 0u);
    EXPECT_EQ(third.notifications, "");
    CheckRegistry();
}

TEST_F(AdapsetEndToEnd, AllEightParametersByServiceName) {
    const std::string& second = services_[1];
    const ToolRun run =
        RunTool(second + " 172.16.3.9 255.255.0.0 172.16.0.1 8.8.8.8 8.8.4.4 172.16.0.70 172.16.0.71");
    EXPECT_EQ(run.result.output, "");
    EXPECT_EQ(run.result.exitCode, 0u);
    ExpectAddresses(second, "172.16.3.9", "255.255.0.0", "172.16.0.1");
    ExpectServers(second, "8.8.8.8,8.8.4.4", "8.8.8.8 8.8.4.4", {"172.16.0.70", "172.16.0.71"});
    Expect(NetbtAdapterKey(second), "NameServer", StringValue("172.16.0.70"));
    Expect(NetbtAdapterKey(second), "NamerServerBackup", StringValue("172.16.0.71"));
    CheckRegistry();
    EXPECT_EQ(run.notifications, Notification(second, "172.16.3.9", "255.255.0.0"));
}

TEST_F(AdapsetEndToEnd, StarsStandForDefaults) {
    const std::string& first = services_[0];
    // "*" adapter is adapter 1; "*x" mask is the default; "*" servers are empty, so
    // the second name server stands alone without a separator.
    const ToolRun run = RunTool("* 10.9.8.7 *x * * 9.9.9.9 * *");
    EXPECT_EQ(run.result.output, "");
    EXPECT_EQ(run.result.exitCode, 0u);
    ExpectAddresses(first, "10.9.8.7", "255.255.255.0", "");
    ExpectServers(first, "9.9.9.9", "9.9.9.9", {""});
    CheckRegistry();
    EXPECT_EQ(run.notifications, Notification(first, "10.9.8.7"));

    // Non-digits after the first digit are skipped: "2nd" is adapter 2.
    const std::string& second = services_[1];
    const ToolRun byNumber = RunTool("2nd 10.9.8.6");
    EXPECT_EQ(byNumber.result.exitCode, 0u);
    ExpectAddresses(second, "10.9.8.6", "255.255.255.0", "");
    ExpectServers(second, "", "", {""});
    CheckRegistry();
}

TEST_F(AdapsetEndToEnd, EmptyQuotedArgumentsClearValues) {
    const std::string& second = services_[1];
    const ToolRun run = RunTool("2 10.2.2.2 255.255.255.0 \"\" \"\" \"\" \"\" \"\"");
    EXPECT_EQ(run.result.output, "");
    EXPECT_EQ(run.result.exitCode, 0u);
    ExpectAddresses(second, "10.2.2.2", "255.255.255.0", "");  // the gateway exactly two zero bytes
    ExpectServers(second, "", "", {""});
    CheckRegistry();
    EXPECT_EQ(run.notifications, Notification(second, "10.2.2.2"));
}

TEST_F(AdapsetEndToEnd, ArgumentsPastTheEighthAreIgnored) {
    const std::string& first = services_[0];
    const ToolRun run = RunTool("1 10.1.1.1 * 10.1.1.254 1.1.1.1 * * 10.1.1.71 not-an-address \"\" 99");
    EXPECT_EQ(run.result.output, "");
    EXPECT_EQ(run.result.exitCode, 0u);
    ExpectAddresses(first, "10.1.1.1", "255.255.255.0", "10.1.1.254");
    ExpectServers(first, "1.1.1.1", "1.1.1.1", {"10.1.1.71"});
    Expect(NetbtAdapterKey(first), "NamerServerBackup", StringValue("10.1.1.71"));
    CheckRegistry();
    EXPECT_EQ(run.notifications, Notification(first, "10.1.1.1"));
}

TEST_F(AdapsetEndToEnd, UnknownServiceChangesNothing) {
    // Neither adapter key exists; the other locations are left alone too.
    ASSERT_TRUE(
        PutValue(NetbtInterfaceKey("NoSuchService"), "NameServerList", MultiStringValue({"10.7.7.7"})));
    Remember();
    const ToolRun run = RunTool("NoSuchService 10.1.1.1 255.255.255.0 10.1.1.254 1.1.1.1");
    EXPECT_EQ(run.result.output, Crlf("Cannot locate adapter NoSuchService\n"));
    EXPECT_EQ(run.result.exitCode, 23u + 13u);
    EXPECT_EQ(run.notifications, "");
    CheckRegistry();
    RemoveTree(NetbtInterfaceKey("NoSuchService"));
}

TEST_F(AdapsetEndToEnd, TodaysLayoutIsConfiguredThroughTheInterfaceKey) {
    // Only the interface key holds the adapter's settings; its service has no TCP/IP key.
    const std::string& first = services_[0];
    RemoveTree(AdapterTcpipKey(first));
    Remember();
    const ToolRun run = RunTool("1 10.1.1.1 255.255.0.0 10.1.1.254 1.1.1.1 2.2.2.2 3.3.3.3");
    EXPECT_EQ(run.result.output, "");
    EXPECT_EQ(run.result.exitCode, 0u);
    ExpectAddresses(first, "10.1.1.1", "255.255.0.0", "10.1.1.254", Keys::InterfaceOnly);
    ExpectServers(first, "1.1.1.1,2.2.2.2", "1.1.1.1 2.2.2.2", {"3.3.3.3"});
    Expect(NetbtAdapterKey(first), "NameServer", StringValue("3.3.3.3"));
    CheckRegistry();  // and no per-service TCP/IP key created
    EXPECT_EQ(run.notifications, Notification(first, "10.1.1.1", "255.255.0.0"));
}

TEST_F(AdapsetEndToEnd, MissingOptionalKeysAreSkippedNotCreated) {
    const std::string& first = services_[0];
    const Snapshot before = CaptureTrees({kTcpipParameters});
    RemoveTree(InterfaceKey(first));
    RemoveTree(NetbtInterfaceKey(first));
    RemoveTree(NetbtAdapterKey(first));
    RemoveTree(kTcpipParameters);
    Remember();
    const ToolRun run = RunTool("1 10.1.1.1 * 10.1.1.254 1.1.1.1 2.2.2.2 3.3.3.3 4.4.4.4");
    EXPECT_EQ(run.result.output, "");
    EXPECT_EQ(run.result.exitCode, 0u);
    ExpectAddresses(first, "10.1.1.1", "255.255.255.0", "10.1.1.254", Keys::AdapterOnly);
    CheckRegistry();
    EXPECT_EQ(run.notifications, Notification(first, "10.1.1.1"));
    EXPECT_TRUE(RestoreTrees({kTcpipParameters}, before));
}

TEST_F(AdapsetEndToEnd, EveryWinsCombination) {
    struct Case {
        const char* w1;
        const char* w2;
        std::vector<std::string> list;
    };
    const Case cases[] = {
        {"*", "*", {""}},
        {"10.5.5.1", "*", {"10.5.5.1"}},
        {"*", "10.5.5.2", {"10.5.5.2"}},
        {"10.5.5.1", "10.5.5.2", {"10.5.5.1", "10.5.5.2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.w1) + " " + c.w2);
        SetUp();
        const std::string& first = services_[0];
        const ToolRun run = RunTool(std::string("1 10.1.1.1 * * * * ") + c.w1 + " " + c.w2);
        EXPECT_EQ(run.result.output, "");
        EXPECT_EQ(run.result.exitCode, 0u);
        ExpectAddresses(first, "10.1.1.1", "255.255.255.0", "");
        ExpectServers(first, "", "", c.list);
        // Empty WINS arguments leave the NetBT adapter values as they were.
        if (c.w1[0] != '*') Expect(NetbtAdapterKey(first), "NameServer", StringValue(c.w1));
        if (c.w2[0] != '*') Expect(NetbtAdapterKey(first), "NamerServerBackup", StringValue(c.w2));
        CheckRegistry();
        EXPECT_EQ(run.notifications, Notification(first, "10.1.1.1"));
    }
}

TEST_F(AdapsetEndToEnd, FailedNotificationKeepsTheWrittenValues) {
    const std::string& first = services_[0];
    const ToolRun run = RunTool("1 10.1.1.1", Dhcp::Double, "5");
    EXPECT_EQ(run.result.output, Crlf("Adapter configuration failed\n"));
    EXPECT_EQ(run.result.exitCode, 29u);
    ExpectAddresses(first, "10.1.1.1", "255.255.255.0", "");
    ExpectServers(first, "", "", {""});
    CheckRegistry();
    EXPECT_EQ(run.notifications, Notification(first, "10.1.1.1"));
}

TEST_F(AdapsetEndToEnd, MissingDhcpClientLibraryOrEntryPointFailsWithoutACall) {
    for (Dhcp dhcp : {Dhcp::Missing, Dhcp::WithoutEntry}) {
        SCOPED_TRACE(dhcp == Dhcp::Missing ? "library missing" : "entry point missing");
        SetUp();
        const std::string& second = services_[1];
        const ToolRun run = RunTool("2 10.2.2.2 255.255.255.128 10.2.2.1", dhcp);
        EXPECT_EQ(run.result.output, Crlf("Adapter configuration failed\n"));
        EXPECT_EQ(run.result.exitCode, 29u);
        ExpectAddresses(second, "10.2.2.2", "255.255.255.128", "10.2.2.1");
        ExpectServers(second, "", "", {""});
        CheckRegistry();
        EXPECT_EQ(run.notifications, "");
    }
}

TEST_F(AdapsetEndToEnd, RefusedInputWritesNothing) {
    std::string nine;  // nine 15-character addresses: 143 characters
    for (int i = 0; i < 9; ++i) nine += (i ? "," : "") + std::string("100.100.100.100");
    std::string sixty;  // 63 characters
    for (int i = 0; i < 8; ++i) sixty += (i ? "," : "") + std::string("1.1.1.1");
    const std::string longName(128, 'N');
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"1 *", "Argument ipAddress is not an IPv4 address: \"*\"\n"},
        {"1 *1.2.3.4", "Argument ipAddress is not an IPv4 address: \"*1.2.3.4\"\n"},
        {"1 192.168.05.20", "Argument ipAddress is not an IPv4 address: \"192.168.05.20\"\n"},
        {"1 10.1.1.256", "Argument ipAddress is not an IPv4 address: \"10.1.1.256\"\n"},
        {"host.example", "Argument ipAddress is not an IPv4 address: \"host.example\"\n"},
        {"1 10.1.1.1 255.255.255", "Argument mask is not an IPv4 address: \"255.255.255\"\n"},
        {"1 10.1.1.1 * 10.1.1.254,10.1.1.253",
         "Argument gateway is not an IPv4 address: \"10.1.1.254,10.1.1.253\"\n"},
        {"1 10.1.1.1 * * 1.1.1.1,", "Argument nameServer1 is not a list of IPv4 addresses: \"1.1.1.1,\"\n"},
        {"1 10.1.1.1 * * * \"1.1.1.1 2.2.2.2\"",
         "Argument nameServer2 is not a list of IPv4 addresses: \"1.1.1.1 2.2.2.2\"\n"},
        {"\"\"", "Argument ipAddress is not an IPv4 address: \"\"\n"},
        {"1 10.1.1.1 \"\"", "Argument mask is not an IPv4 address: \"\"\n"},
        {"1 10.1.1.1 * * * * wins", "Argument winsServer1 is not an IPv4 address: \"wins\"\n"},
        {"1 10.1.1.1 * * * * 1.1.1.1,2.2.2.2",
         "Argument winsServer1 is not an IPv4 address: \"1.1.1.1,2.2.2.2\"\n"},
        {"1 10.1.1.1 * * * * * 1.1.1", "Argument winsServer2 is not an IPv4 address: \"1.1.1\"\n"},
        {"1 " + std::string(300, '1'), "Argument ipAddress is too long (at most 126 characters)\n"},
        {"1 10.1.1.1 * * " + nine, "Argument nameServer1 is too long (at most 127 characters)\n"},
        {"1 10.1.1.1 * * " + sixty + " " + sixty + ",2.2.2.2",
         "Arguments nameServer1 and nameServer2 are too long together (at most 127 characters)\n"},
        {"1 10.1.1.1 * * * * * " + nine, "Argument winsServer2 is too long (at most 126 characters)\n"},
        {longName + " 10.1.1.1", "Argument adapterName: service name too long (at most 127 characters)\n"},
        {"Tcpip\\Parameters 10.1.1.1", "Argument adapterName is not a service name: \"Tcpip\\Parameters\"\n"},
        {"\"\" 10.1.1.1", "Argument adapterName is not a service name: \"\"\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(run.result.output, Crlf(c.message));
        EXPECT_EQ(run.result.exitCode, 160u);
        EXPECT_EQ(run.notifications, "");
        CheckRegistry();
        EXPECT_EQ(BackupNames(), std::vector<std::string>());
    }
}

TEST_F(AdapsetEndToEnd, NetworkCardsKeyMissingOrEmpty) {
    RemoveTree(kNetworkCards);
    Remember();
    const ToolRun none = RunTool("");
    EXPECT_EQ(none.result.output, Crlf(std::string(kUsage) + "Cannot locate any network cards...\n"));
    EXPECT_EQ(none.result.exitCode, 35u);
    const ToolRun number = RunTool("1 10.1.1.1");
    EXPECT_EQ(number.result.output, none.result.output);
    EXPECT_EQ(number.result.exitCode, 35u);
    CheckRegistry();

    // A service given by name still reaches its keys.
    const std::string& first = services_[0];
    const ToolRun byName = RunTool(first + " 10.1.1.1");
    EXPECT_EQ(byName.result.exitCode, 0u);
    ExpectAddresses(first, "10.1.1.1", "255.255.255.0", "");
    ExpectServers(first, "", "", {""});
    CheckRegistry();

    TestSupport::CreateKey(HKEY_LOCAL_MACHINE, kNetworkCards);
    Remember();
    const ToolRun empty = RunTool("1 10.1.1.1");
    EXPECT_EQ(empty.result.output, Crlf(std::string(kUsage) + "\nNetwork adapters:\n"));
    EXPECT_EQ(empty.result.exitCode, 0u);
    CheckRegistry();
}

// Seeds NetworkCards with count subkeys and returns their names in enumeration order,
// so that tests give each position its content without assuming an order.
static std::vector<std::string> SeedCardSubkeys(int count) {
    RemoveTree(kNetworkCards);
    for (int i = 0; i < count; ++i)
        TestSupport::CreateKey(HKEY_LOCAL_MACHINE,
                               std::string(kNetworkCards) + "\\" + std::to_string(100 + i));
    std::vector<std::string> names;
    HKEY cards = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNetworkCards, 0, KEY_READ, &cards) != ERROR_SUCCESS) return names;
    char name[260];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(cards, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(std::string(kNetworkCards) + "\\" + name);
    }
    RegCloseKey(cards);
    return names;
}

TEST_F(AdapsetEndToEnd, UnreadableCardValuesNeverShowLeftoverText) {
    const std::string a = adapters_[0].service, b = adapters_[1].service;
    const std::vector<std::string> cards = SeedCardSubkeys(5);
    ASSERT_EQ(cards.size(), 5u);
    const std::string longDescription = "Long " + std::string(300, 'D');
    ASSERT_TRUE(PutValue(cards[0], "Description", StringValue("First Card")));
    ASSERT_TRUE(PutValue(cards[0], "ServiceName", StringValue(a)));
    ASSERT_TRUE(PutValue(cards[1], "ServiceName", StringValue(b)));  // no description
    ASSERT_TRUE(PutValue(cards[2], "Description", StringValue(longDescription)));
    ASSERT_TRUE(PutValue(cards[2], "ServiceName", StringValue(LongService())));
    ASSERT_TRUE(PutValue(cards[3], "Description", StringValue("Broken Card")));
    ASSERT_TRUE(PutValue(cards[3], "ServiceName", TestSupport::DwordValue(7)));  // not text
    ASSERT_TRUE(PutValue(cards[4], "Description", StringValue("Hidden Card")));
    ASSERT_TRUE(PutValue(cards[4], "ServiceName", StringValue(a)));
    ASSERT_TRUE(PutValue(AdapterTcpipKey(LongService()), "IPAddress", MultiStringValue({"10.3.3.3"})));
    Remember();

    // The walk ends after the card without a service name; later cards are not listed.
    const std::string usage = Crlf(kUsage + Listing({{"First Card", a},
                                                     {"(unreadable)", b},
                                                     {longDescription, LongService()},
                                                     {"Broken Card", "(unreadable)"}}));
    const ToolRun list = RunTool("");
    EXPECT_EQ(list.result.output, usage);
    EXPECT_EQ(list.result.exitCode, 0u);

    // A listed service name too long for the tool is refused by number as well.
    const ToolRun tooLong = RunTool("3 10.1.1.1");
    EXPECT_EQ(tooLong.result.output,
              Crlf("Argument adapterName: service name too long (at most 127 characters)\n"));
    EXPECT_EQ(tooLong.result.exitCode, 160u);
    // The card without a service name, and those after it, have no table entry.
    for (const char* number : {"4", "5"}) {
        const ToolRun run = RunTool(std::string(number) + " 10.1.1.1");
        EXPECT_EQ(run.result.output, usage) << number;
        EXPECT_EQ(run.result.exitCode, 0u);
        EXPECT_EQ(run.notifications, "");
    }
    CheckRegistry();

    const ToolRun second = RunTool("2 10.1.1.2");
    EXPECT_EQ(second.result.exitCode, 0u);
    ExpectAddresses(b, "10.1.1.2", "255.255.255.0", "");
    ExpectServers(b, "", "", {""});
    CheckRegistry();
    EXPECT_EQ(second.notifications, Notification(b, "10.1.1.2"));
}

TEST_F(AdapsetEndToEnd, MoreThanSixtyFourAdaptersAreNumberedAsListed) {
    const std::vector<std::string> cards = SeedCardSubkeys(70);
    ASSERT_EQ(cards.size(), 70u);
    std::vector<std::pair<std::string, std::string>> listed;
    for (int i = 0; i < 70; ++i) {
        const std::string description = "Adapter " + std::to_string(i + 1);
        ASSERT_TRUE(PutValue(cards[i], "Description", StringValue(description)));
        ASSERT_TRUE(PutValue(cards[i], "ServiceName", StringValue(ManyService(i))));
        listed.emplace_back(description, ManyService(i));
    }
    const std::string last = ManyService(69);
    ASSERT_TRUE(PutValue(AdapterTcpipKey(last), "IPAddress", MultiStringValue({"10.7.0.1"})));
    Remember();

    const ToolRun list = RunTool("");
    EXPECT_EQ(list.result.output, Crlf(kUsage + Listing(listed)));
    EXPECT_EQ(list.result.exitCode, 0u);

    const ToolRun run70 = RunTool("70 10.7.0.70");
    EXPECT_EQ(run70.result.output, "");
    EXPECT_EQ(run70.result.exitCode, 0u);
    ExpectAddresses(last, "10.7.0.70", "255.255.255.0", "", Keys::AdapterOnly);
    Expect(kTcpipParameters, "NameServer", StringValue(""));
    CheckRegistry();
    EXPECT_EQ(run70.notifications, Notification(last, "10.7.0.70"));

    const ToolRun run71 = RunTool("71 10.7.0.71");
    EXPECT_EQ(run71.result.output, list.result.output);
    EXPECT_EQ(run71.result.exitCode, 0u);
    const ToolRun huge = RunTool("4294967297 10.7.0.71");  // would wrap to adapter 1
    EXPECT_EQ(huge.result.output, list.result.output);
    CheckRegistry();
}

TEST_F(AdapsetEndToEnd, AKeyThatRefusesWritingStopsTheWholeRun) {
    const std::string first = services_[0];  // a copy: SetUp below replaces services_
    for (const std::string& key : {AdapterTcpipKey(first), InterfaceKey(first), std::string(kTcpipParameters),
                                   NetbtInterfaceKey(first), NetbtAdapterKey(first)}) {
        SCOPED_TRACE(key);
        SetUp();
        const ScopedKeySecurity readOnly(HKEY_LOCAL_MACHINE, key);
        const ToolRun run =
            RunTool("1 10.1.1.1 * 10.1.1.254 1.1.1.1 * 3.3.3.3", Dhcp::Double, "0", kElevationHint);
        EXPECT_EQ(run.result.output, Crlf("Access to the registry was refused: HKLM\\" + key + "\n"));
        EXPECT_EQ(run.result.exitCode, 5u);
        EXPECT_EQ(run.notifications, "");
        CheckRegistry();
        EXPECT_EQ(BackupNames(), std::vector<std::string>());
    }
    // A key the run has nothing to write to is not opened, so it cannot refuse.
    SetUp();
    const ScopedKeySecurity readOnly(HKEY_LOCAL_MACHINE, NetbtAdapterKey(first));
    const ToolRun run = RunTool("1 10.1.1.1");
    EXPECT_EQ(run.result.exitCode, 0u);
    ExpectAddresses(first, "10.1.1.1", "255.255.255.0", "");
    ExpectServers(first, "", "", {""});
    CheckRegistry();
}

TEST_F(AdapsetEndToEnd, ReadAccessToTheNetworkCardsIsEnough) {
    std::vector<std::unique_ptr<ScopedKeySecurity>> readOnly;
    readOnly.push_back(std::make_unique<ScopedKeySecurity>(HKEY_LOCAL_MACHINE, kNetworkCards));
    for (const SeedAdapter& a : adapters_)
        readOnly.push_back(std::make_unique<ScopedKeySecurity>(HKEY_LOCAL_MACHINE,
                                                               std::string(kNetworkCards) + "\\" + a.subkey));
    const ToolRun list = RunTool("");
    EXPECT_EQ(list.result.output, UsageWithTwoAdapters());
    EXPECT_EQ(list.result.exitCode, 0u);
    const ToolRun run = RunTool("2 10.2.2.2");
    EXPECT_EQ(run.result.exitCode, 0u);
    ExpectAddresses(services_[1], "10.2.2.2", "255.255.255.0", "");
    ExpectServers(services_[1], "", "", {""});
    CheckRegistry();
    readOnly.clear();

    // Without read access the listing fails as when the key is missing, with the hint.
    const ScopedKeySecurity unreadable(HKEY_LOCAL_MACHINE, kNetworkCards, "D:P(A;;SDWD;;;WD)");
    Remember();
    const ToolRun refused = RunTool("", Dhcp::Double, "0", kElevationHint);
    EXPECT_EQ(refused.result.output, Crlf(std::string(kUsage) + "Cannot locate any network cards...\n"));
    EXPECT_EQ(refused.result.exitCode, 35u);
    CheckRegistry();
}

TEST_F(AdapsetEndToEnd, ALibraryBesideTheToolIsNeverLoaded) {
    // Every run has a dhcpcsvc.dll without the notification beside the tool.
    ASSERT_NE(GetFileAttributesA((TestSupport::ModuleDirectory() + "planted\\dhcpcsvc.dll").c_str()),
              INVALID_FILE_ATTRIBUTES);
    const ToolRun run = RunTool("2 10.2.2.2");
    EXPECT_EQ(run.result.output, "");
    EXPECT_EQ(run.result.exitCode, 0u);
    EXPECT_EQ(run.notifications, Notification(services_[1], "10.2.2.2"));
}

TEST_F(AdapsetEndToEnd, SparseCardNumbersFollowTheRegistryOrder) {
    // Cards 2, 7 and 13, as today's Windows number them.
    adapters_.push_back(ThirdAdapter());
    adapters_[0].subkey = "2";
    adapters_[1].subkey = "7";
    ASSERT_TRUE(SeedMachine(adapters_));
    services_ = EnumeratedServices();
    ASSERT_EQ(services_.size(), 3u);
    Remember();
    std::vector<std::pair<std::string, std::string>> cards;
    for (const std::string& service : services_)
        for (const SeedAdapter& a : adapters_)
            if (a.service == service) cards.emplace_back(a.description, a.service);
    const ToolRun list = RunTool("");
    EXPECT_EQ(list.result.output, Crlf(kUsage + Listing(cards)));
    for (int number = 1; number <= 3; ++number) {
        SCOPED_TRACE(number);
        const std::string address = "10.4.4." + std::to_string(number);
        const ToolRun run = RunTool(std::to_string(number) + " " + address);
        EXPECT_EQ(run.result.exitCode, 0u);
        ExpectAddresses(services_[number - 1], address, "255.255.255.0", "");
        ExpectServers(services_[number - 1], "", "", {""});
        CheckRegistry();
        EXPECT_EQ(run.notifications, Notification(services_[number - 1], address));
    }
}

// Writes a Registry Editor 5 file as the platform's editor does: UTF-16LE with a BOM.
static void WriteRegFile(const std::string& path, const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

static std::vector<BYTE> Utf16Bytes(const std::wstring& text) {
    std::vector<BYTE> bytes;
    for (const wchar_t c : text) bytes.insert(bytes.end(), {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8)});
    return bytes;
}

// "00,00,...": hex data of `count` zero bytes.
std::wstring HexRun(size_t count) {
    std::wstring run;
    for (size_t i = 0; i < count; ++i) run += i == 0 ? L"00" : L",00";
    return run;
}

TEST_F(AdapsetEndToEnd, TheSnapshotPutsBackEveryValueTheRunChanged) {
    const std::string first = services_[0];
    // Values the run adds where there were none must be gone again afterwards.
    ASSERT_EQ(RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, AdapterTcpipKey(first).c_str(), "EnableDHCP"), 0);
    ASSERT_EQ(RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, NetbtAdapterKey(first).c_str(), "NamerServerBackup"), 0);
    Remember();
    for (const bool withTool : {false, true}) {
        SCOPED_TRACE(withTool ? "Adapset /restore" : "reg.exe import");
        TestSupport::RemoveFolderTree(Backups());
        const ToolRun run = RunTool("1 10.1.1.1 255.255.0.0 10.1.1.254 1.1.1.1 2.2.2.2 3.3.3.3 4.4.4.4");
        ASSERT_EQ(run.result.exitCode, 0u) << run.result.output;
        const std::string file = OnlySnapshot(first);
        CopyFileA(file.c_str(), ArtifactPath("adapset-snapshot.reg").c_str(), FALSE);  // for the README
        if (withTool) {
            const ToolRun restore = RunTool("/restore \"" + file + "\"");
            const std::string undo = Backups() + "\\" + BackupNames().back();
            EXPECT_EQ(restore.result.output, Crlf("Settings restored from " + file +
                                                  "\nTo undo: adapset /restore \"" + undo + "\"\n"));
            EXPECT_EQ(restore.result.exitCode, 0u);
            // The address and mask the restored keys hold.
            EXPECT_EQ(restore.notifications, Notification(first, Old(first) + "5", "255.0.0.0"));
        } else {
            const TestSupport::ProcessResult imported =
                TestSupport::RunProcess("reg.exe import \"" + file + "\"");
            EXPECT_EQ(imported.exitCode, 0u) << imported.output << imported.errorOutput;
        }
        CheckRegistry();
    }
}

// However many runs follow, the settings from before the first one stay reachable; a
// restore saves what it overwrites, so restoring that file gives back the settings the
// restore replaced, byte for byte.
TEST_F(AdapsetEndToEnd, TwentyFiveRunsKeepTheOriginalAndARestoreCanBeUndone) {
    const std::string first = services_[0];
    for (int run = 1; run <= 25; ++run) {
        const ToolRun tool = RunTool("1 10.1.1." + std::to_string(run) + " 255.255.0.0 10.1.1.254 1.1.1.1");
        ASSERT_EQ(tool.result.exitCode, 0u) << tool.result.output;
    }
    const std::vector<std::string> names = BackupNames();
    EXPECT_EQ(names.size(), 21u);
    const auto original = std::find_if(names.begin(), names.end(), [](const std::string& name) {
        return name.find("-original") != std::string::npos;
    });
    ASSERT_NE(original, names.end());
    const Snapshot afterRuns = CaptureTrees(Roots());

    const ToolRun restore = RunTool(std::string("/restore original ") + "1");
    EXPECT_EQ(restore.result.exitCode, 0u) << restore.result.output;
    EXPECT_EQ(
        restore.result.output.rfind("Settings restored from " + Backups() + "\\" + *original + "\r\n", 0), 0u)
        << restore.result.output;
    CheckRegistry();  // as seeded, before the first run

    const size_t undoAt = restore.result.output.find("adapset /restore ");
    ASSERT_NE(undoAt, std::string::npos);
    const ToolRun undo =
        RunTool(restore.result.output.substr(undoAt + 8, restore.result.output.size() - undoAt - 10));
    EXPECT_EQ(undo.result.exitCode, 0u) << undo.result.output;
    expected_ = afterRuns;
    CheckRegistry();
    EXPECT_EQ(BackupNames().size(), 21u);  // the two restores' snapshots in place of the oldest others

    const ToolRun none = RunTool("/restore original 3");
    EXPECT_EQ(none.result.output, Crlf("No original snapshot of adapter 3\n"));
}

// A run cut off between its snapshot and its end leaves its record: the listing without
// arguments names it; the next finished run removes it.
TEST_F(AdapsetEndToEnd, AnUnfinishedRunIsMentionedUntilARunFinishes) {
    const SettingsSnapshot::BackupFolder folder = SettingsSnapshot::BackupFolder::Default().Value();
    const SettingsSnapshot::ApplyRecord record(folder, L"adapset");
    ASSERT_FALSE(folder.PrepareFolders());
    const std::wstring snapshot =
        SettingsSnapshot::BackupFolder::Default().Value().Path() + L"\\20261209-101010-adapset-{x}.reg";
    ASSERT_FALSE(record.Start(L"{x}", snapshot));
    const std::string mention =
        "The last configuration run (adapter {x}) did not finish. To put back the settings "
        "from before it:\r\n  adapset /restore \"" +
        Backups() + "\\20261209-101010-adapset-{x}.reg\"\r\n";
    const ToolRun listed = RunTool("");
    EXPECT_NE(listed.result.output.find(mention), std::string::npos) << listed.result.output;
    ASSERT_EQ(RunTool("1 10.1.1.1").result.exitCode, 0u);
    EXPECT_EQ(RunTool("").result.output.find("did not finish"), std::string::npos);

    // A record that is not ours is named in one sentence and not used.
    WriteRegFile(DataFolder() + "\\unfinished-adapset.txt", L"{x}");
    EXPECT_NE(
        RunTool("").result.output.find("\r\nThe record of an unfinished run cannot be used: " + DataFolder() +
                                       "\\unfinished-adapset.txt: not a record of ours\r\n"),
        std::string::npos);
}

TEST_F(AdapsetEndToEnd, ASnapshotThatCannotBeSavedStopsTheRunBeforeAnyWrite) {
    // A file where the data folder should be: the backup folder cannot be had.
    WriteRegFile(DataFolder(), L"");
    const ToolRun run =
        RunTool("1 10.1.1.1 * 10.1.1.254 1.1.1.1 * 3.3.3.3 4.4.4.4", Dhcp::Double, "0", nullptr);
    DeleteFileA(DataFolder().c_str());
    EXPECT_EQ(run.result.output, Crlf("Cannot save the current settings: " + DataFolder() + "\n"));
    EXPECT_NE(run.result.errorOutput.find("not a folder"), std::string::npos) << run.result.errorOutput;
    EXPECT_EQ(run.result.exitCode, 161u);
    EXPECT_EQ(run.notifications, "");
    CheckRegistry();
}

TEST_F(AdapsetEndToEnd, AnUnreadableProgramDataLocationStopsTheRunBeforeAnyWrite) {
    const TestSupport::ScopedStoredValue missing(
        HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", "ProgramData",
        std::nullopt);
    const ToolRun run =
        RunTool("1 10.1.1.1 * 10.1.1.254 1.1.1.1 * 3.3.3.3 4.4.4.4", Dhcp::Double, "0", nullptr);
    EXPECT_EQ(run.result.output, Crlf("Cannot save the current settings: ProgramData\n"));
    EXPECT_EQ(run.result.exitCode, 161u);
    EXPECT_EQ(run.notifications, "");
    CheckRegistry();
}

TEST_F(AdapsetEndToEnd, RestoreRefusesAFileThatIsNotOneOfOurSnapshots) {
    const std::string first = services_[0];
    const std::wstring key = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" +
                             std::wstring(first.begin(), first.end());
    using SettingsSnapshot::SnapshotValue;
    const SettingsSnapshot::Snapshot ours{
        {{key,
          {SnapshotValue::Present(L"IPAddress", REG_MULTI_SZ, Utf16Bytes(std::wstring(L"10.9.9.9\0\0", 10))),
           SnapshotValue::Present(L"SubnetMask", REG_MULTI_SZ,
                                  Utf16Bytes(std::wstring(L"255.255.0.0\0\0", 13))),
           SnapshotValue::Absent(L"EnableDHCP")}}}};
    const std::wstring text = SettingsSnapshot::FormatRegText(ours);
    const std::wstring services = L"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\";
    const std::wstring second(services_[1].begin(), services_[1].end());
    const std::wstring sound = L"\"IPAddress\"=hex(7):31,00,00,00,00,00\r\n";
    // The parser names the line and the fault; its own tests check those.
    const std::pair<const char*, std::wstring> cases[] = {
        {"a NUL in a key name reaching another service's key",
         text + services + second + std::wstring(L"\0x", 2) + L"\\Parameters\\Tcpip]\r\n" + sound},
        {"another service's Parameters\\Tcpip",
         text + services + L"NoSuchService\\Parameters\\Tcpip]\r\n" + sound},
        {"DataBasePath", text + services + L"Tcpip\\Parameters]\r\n\"DataBasePath\"=hex(2):5c,00,00,00\r\n"},
        {"a deleted Hostname", text + services + L"Tcpip\\Parameters]\r\n\"Hostname\"=-\r\n"},
        {"a control character in a value name", text + L"\"IPAddress\x01\"=-\r\n"},
        {"a string where a list belongs", text + L"\"DefaultGateway\"=hex(1):31,00,00,00\r\n"},
        {"REG_LINK", text + L"\"DefaultGateway\"=hex(6):31,00,00,00\r\n"},
        {"a dword of three bytes",
         text + services + second + L"\\Parameters\\Tcpip]\r\n\"EnableDHCP\"=hex(4):00,00,00\r\n"},
        {"a list of an odd size", text + L"\"DefaultGateway\"=hex(7):31,00,00\r\n"},
        {"a sound value before one of 150,000 bytes",
         text + services + L"Tcpip\\Parameters]\r\n\"NameServer\"=hex(1):31,00,00,00\r\n" + services +
             second + L"\\Parameters\\Tcpip]\r\n" + sound + L"\"SubnetMask\"=hex(7):" + HexRun(150000) +
             L"\r\n"},
        {"another header", L"REGEDIT4" + text.substr(text.find(L"\r\n"))},
        {"a key outside the adapter locations",
         text + L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
                L"\"Tool\"=hex(1):41,00,00,00\r\n"},
        {"a malformed line", text.substr(0, text.rfind(L"\"EnableDHCP\"")) + L"\"EnableDHCP\"=dword:1x\r\n"},
        // echoed in the refusal, with its terminal sequences written out
        {"a key line with escape sequences", text + L"[HKEY_CURRENT_USER\x1b]0;owned\x07\x1b[2J]\r\n"},
    };
    const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRun, "Tool");
    const std::string file = programData_->Path() + "\\foreign.reg";
    for (const auto& [what, content] : cases) {
        SCOPED_TRACE(what);
        WriteRegFile(file, content);
        const ToolRun refused = RunTool("/restore \"" + file + "\"");
        EXPECT_EQ(
            refused.result.output.rfind("Not a settings snapshot of Adapset or TarveloIP: " + file + " (", 0),
            0u)
            << refused.result.output;
        EXPECT_EQ(refused.result.exitCode, 11u);
        EXPECT_EQ(refused.result.output.find_first_of("\x1b\x07"), std::string::npos)
            << refused.result.output;
        if (std::string(what) == "DataBasePath") {  // refused by its name, its syntax read first
            EXPECT_NE(refused.result.output.find(
                          "value DataBasePath of "
                          "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters is not one "
                          "our snapshots hold)"),
                      std::string::npos)
                << refused.result.output;
        }
        EXPECT_EQ(refused.notifications, "");
        CheckRegistry();
        EXPECT_FALSE(TestSupport::ReadRawValue(HKEY_LOCAL_MACHINE, kRun, "Tool"));
    }
    // The same file without the fault is restored.
    WriteRegFile(file, text);
    const ToolRun restored = RunTool("/restore \"" + file + "\"");
    EXPECT_EQ(restored.result.exitCode, 0u) << restored.result.output;
    Expect(InterfaceKey(first), "IPAddress", MultiStringValue({"10.9.9.9"}));
    Expect(InterfaceKey(first), "SubnetMask", MultiStringValue({"255.255.0.0"}));
    expected_.values.erase(Lower(InterfaceKey(first) + "|EnableDHCP"));
    CheckRegistry();
    EXPECT_EQ(restored.notifications, Notification(first, "10.9.9.9", "255.255.0.0"));
}

TEST_F(AdapsetEndToEnd, SnapshotsAreListedByWriteTimeAndPlantedNamesNeverEvictTheRunsOwn) {
    CreateDirectoryA(DataFolder().c_str(), nullptr);
    CreateDirectoryA(Backups().c_str(), nullptr);
    std::vector<std::string> older;  // newest first
    for (int second = 20; second >= 0; --second) {
        char name[64];
        snprintf(name, sizeof name, "20200101-0000%02d-adapset-old.reg", second);
        older.push_back(name);
        WriteRegFile(Backups() + "\\" + name, L"");
        SetWriteTime(Backups() + "\\" + name, 100 + second);
    }
    // Far-future names, written before the run: they count by their write time.
    for (int i = 0; i < 20; ++i) {
        const std::string name = "99991231-2359" + std::to_string(10 + i) + "-adapset-x.reg";
        WriteRegFile(Backups() + "\\" + name, L"");
        SetWriteTime(Backups() + "\\" + name, i);
    }
    WriteRegFile(Backups() + "\\20200101-000000-TarveloIP.reg", L"");
    SetWriteTime(Backups() + "\\20200101-000000-TarveloIP.reg", 50);
    const ToolRun run = RunTool("2 10.2.2.2");
    ASSERT_EQ(run.result.exitCode, 0u);

    // 42 snapshots of the tool: the run's own and the 19 newest others by write time are
    // kept, with the oldest of each adapter (its original) and the wizard's.
    std::vector<std::string> listing;
    for (const std::string& name : BackupNames())
        if (name.find(services_[1]) != std::string::npos)
            listing.push_back("original  " + services_[1] + "  " + name);
    for (size_t i = 0; i < 19; ++i) listing.push_back("later     old  " + older[i]);
    listing.push_back("original  old  " + older[20]);
    listing.push_back("later     (adapter unknown)  20200101-000000-TarveloIP.reg");
    listing.push_back("original  x  99991231-235910-adapset-x.reg");
    const ToolRun list = RunTool("/restore");
    EXPECT_EQ(list.result.exitCode, 0u);
    std::istringstream lines(list.result.output);
    std::string line, entry;
    std::getline(lines, line);
    EXPECT_EQ(line, "Snapshots in " + Backups() + ", newest first:\r");
    std::vector<std::string> listed;
    while (std::getline(lines, entry) && std::getline(lines, line)) {
        // "yyyy-MM-dd HH:mm:ss  kind  adapter" and the path on the next line.
        EXPECT_TRUE(std::regex_match(entry, std::regex("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  .*\r")))
            << entry;
        const size_t cut = line.rfind('\\');
        listed.push_back(entry.substr(21, entry.size() - 22) + "  " +
                         line.substr(cut + 1, line.size() - cut - 2));
        EXPECT_EQ(line.substr(0, cut), "  " + Backups());
    }
    EXPECT_EQ(listed, listing);
    EXPECT_EQ(BackupNames().size(), 23u);

    // More than the listing shows: every original, the newest 40 others, a line for the
    // rest (here 50 others: the 20 above and 30 newer).
    for (int second = 0; second < 30; ++second) {
        char name[64];
        snprintf(name, sizeof name, "20210101-0000%02d-adapset-old.reg", second);
        WriteRegFile(Backups() + "\\" + name, L"");
        SetWriteTime(Backups() + "\\" + name, 1000 + second);
    }
    const std::string many = RunTool("/restore").result.output;
    std::istringstream manyLines(many);
    size_t originals = 0, others = 0;
    while (std::getline(manyLines, line)) {
        if (line.find("  original  ") == 19) ++originals;
        if (line.find("  later     ") == 19) ++others;
    }
    EXPECT_EQ(originals, 3u);
    EXPECT_EQ(others, 40u);
    EXPECT_NE(many.find("\r\n(10 older not listed; adapset /restore FILE restores any of them)\r\n"),
              std::string::npos)
        << many;
}

namespace {

// Connection names of the Windows 10 laptop in Big5, as the tests pass and read them.
const char kEthernetBig5[] = "\xA4\x41\xA4\xD3\xBA\xF4\xB8\xF4";                   // 乙太網路
const char kBluetoothBig5[] = "\xC2\xC5\xA4\xFA\xBA\xF4\xB8\xF4\xB3\x73\xBD\x75";  // 藍牙網路連線

// The Windows 10 laptop (cards 15, 2, 3 and the hidden kernel debugger's adapter).
class AdapsetWindows10 : public AdapsetEndToEnd {
protected:
    void SetUp() override {
        AdapsetEndToEnd::SetUp();
        ASSERT_EQ(GetACP(), 950u);
        laptop_ = Windows10Machine();
        ASSERT_TRUE(SeedMachine(laptop_));
        services_ = EnumeratedServices();
        ASSERT_EQ(services_.size(), 3u);
        Remember();
    }
    const SeedAdapter& Wired() const { return laptop_[0]; }
    const SeedAdapter& WiFi() const { return laptop_[1]; }
    const SeedAdapter& Bluetooth() const { return laptop_[2]; }

    // What a run configuring the adapter with one address and the wizard's servers
    // writes on this layout: the interface key only (no per-service key to find), the
    // TCP/IP parameters, the NetBT interface key (no NetBT adapter key).
    void ExpectConfigured(const SeedAdapter& a, const std::string& ip) {
        ExpectAddresses(InterfaceName(a), ip, "255.255.255.0", "192.168.1.1", Keys::InterfaceOnly);
        ExpectServers(InterfaceName(a), kWizardDns, kWizardDns, {""});
    }

    std::vector<SeedAdapter> laptop_;
};

}  // namespace

TEST_F(AdapsetWindows10, AConnectionNameConfiguresThatAdapterAlone) {
    const struct {
        std::string name;
        size_t adapter;  // in laptop_
    } cases[] = {
        {kEthernetBig5, 0},
        {"wI-fI", 1},
        {std::string("\"") + kBluetoothBig5 + "\"", 2},
        {Lower(Wired().service), 0},  // a service name in the interface keys' case
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        const SeedAdapter& adapter = laptop_[c.adapter];
        const ToolRun run = RunTool(c.name + " 192.168.1.50 255.255.255.0 192.168.1.1 " + kWizardDns);
        EXPECT_EQ(run.result.output, "");
        EXPECT_EQ(run.result.exitCode, 0u);
        ExpectConfigured(adapter, "192.168.1.50");
        // Every key of every other adapter, the kernel debugger's included, keeps its
        // bytes; no per-service or NetBT adapter key is made.
        CheckRegistry();
        // Named as NetworkCards spells the service, whatever case the command gave.
        EXPECT_EQ(run.notifications, Notification(adapter.service, "192.168.1.50"));
        OnlySnapshot(adapter.service);
        programData_ = std::make_unique<TestSupport::ScratchFolder>("adapset-programdata");
    }
}

TEST_F(AdapsetWindows10, ANameThatMatchesNothingIsNotLocated) {
    for (const std::string& name :
         {std::string("NoSuchConnection"), std::string("\xA4\x41\xA4\xD3\xBA\xF4")}) {
        SCOPED_TRACE(name);
        const ToolRun run = RunTool(name + " 192.168.1.50");
        EXPECT_EQ(run.result.output, Crlf("Cannot locate adapter " + name + "\n"));
        EXPECT_EQ(run.result.exitCode, 23u + name.size());
        EXPECT_EQ(run.notifications, "");
        CheckRegistry();
    }
}

TEST_F(AdapsetWindows10, TheListingNamesEachConnectionAndItsMedium) {
    // Under Wine the IP Helper knows only the host's interfaces: every state is unknown.
    std::string listing = "\nNetwork adapters:\n";
    const std::map<std::string, std::pair<std::string, std::string>> lines = {
        {Wired().service, {kEthernetBig5, "wired"}},
        {WiFi().service, {"Wi-Fi", "Wi-Fi"}},
        {Bluetooth().service, {kBluetoothBig5, "other"}},
    };
    for (size_t i = 0; i < services_.size(); ++i) {
        const auto& [connection, medium] = lines.at(services_[i]);
        std::string description;
        for (const SeedAdapter& a : laptop_)
            if (a.service == services_[i]) description = a.description;
        listing += "\n" + std::to_string(i + 1) + ":\t" + description + "\n\tName: " + services_[i] +
                   "\n\tConnection: " + connection + "\n\tState: " + medium + ", unknown\n";
    }
    const ToolRun run = RunTool("");
    EXPECT_EQ(run.result.output, Crlf(kUsage + listing));
    EXPECT_EQ(run.result.exitCode, 0u);
    CheckRegistry();
}

// A name or description with a line break or terminal sequence cannot forge a line.
TEST_F(AdapsetWindows10, TheListingWritesOutControlCharactersOfNamesAndDescriptions) {
    laptop_[1].connectionName = L"Wi-Fi\r\n4:\tforged\u202e";
    laptop_[1].description = "Wireless\x1b[2J";
    ASSERT_TRUE(SeedMachine(laptop_));
    Remember();
    const ToolRun run = RunTool("");
    EXPECT_NE(run.result.output.find("\tConnection: Wi-Fi\\x0d\\x0a4:\\x09forged\\u202e\r\n"),
              std::string::npos)
        << run.result.output;
    EXPECT_NE(run.result.output.find(":\tWireless\\x1b[2J\r\n"), std::string::npos) << run.result.output;
    EXPECT_EQ(run.result.output.find("\n4:"), std::string::npos);
    EXPECT_EQ(run.result.output.find('\x1b'), std::string::npos);
    CheckRegistry();
}
