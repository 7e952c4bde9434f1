// The apply sequence over recording operations: order of effects, parameter texts,
// working directories and branches, without windows, processes or registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "apply/AddressRules.h"
#include "apply/ApplySequence.h"
#include "apply/CommandLine.h"
#include "apply/WayBack.h"
#include "win_base/TextConversion.h"

namespace {

// One shared journal, so the order across launcher, store and page is visible.
using Journal = std::vector<std::string>;

class RecordingLauncher : public IProgramLauncher {
public:
    explicit RecordingLauncher(Journal& journal) : m_journal(journal) {}
    std::optional<DWORD> RunAndWait(const std::wstring& file, const std::wstring& parameters,
                                    const std::wstring& directory) override {
        m_journal.push_back("run " + WinBase::Utf8FromWide(file) + " [" + WinBase::Utf8FromWide(parameters) +
                            "] in " + WinBase::Utf8FromWide(directory));
        if (onRun) onRun();
        return file == L"C:\\windows\\system32\\netsh.exe" ? std::nullopt : std::optional<DWORD>(exitStatus);
    }
    std::wstring WindowsDirectory() const override { return L"C:\\windows"; }
    std::function<void()> onRun;
    DWORD exitStatus = 0;

private:
    Journal& m_journal;
};

class RecordingStore : public ISettingsStore {
public:
    explicit RecordingStore(Journal& journal) : m_journal(journal) {}
    bool Open(const AdapterInventory::Adapter& adapter) override {
        m_journal.push_back("store open " + WinBase::Utf8FromWide(adapter.serviceName));
        if (throwOnOpen) throw std::bad_alloc();
        return openResult;
    }
    bool SetIPAddress(const char* t) override { return Record("ip", t); }
    bool SetSubnetMask(const char* t) override { return Record("mask", t); }
    bool SetDefaultGateway(const char* t) override { return Record("gateway", t); }
    bool SetNameServer(const char* t) override { return Record("dns", t); }
    bool DisableDhcp() override { return Record("dhcp", "off"); }
    void Close() override { m_journal.push_back("store close"); }
    bool openResult = true;
    bool writeResult = true;
    std::string failingWrite;  // this write alone fails (with writeResult true)
    bool throwOnOpen = false;

private:
    bool Record(const std::string& what, const char* text) {
        m_journal.push_back("store " + what + " " + text);
        return writeResult && what != failingWrite;
    }
    Journal& m_journal;
};

class RecordingPage : public IApplyPage {
public:
    explicit RecordingPage(Journal& journal) : m_journal(journal) {}
    void ShowWaitCursor() override { m_journal.push_back("wait cursor"); }
    void RestoreCursor() override { m_journal.push_back("restore cursor"); }
    void EnableNext(bool e) override { m_journal.push_back(e ? "next on" : "next off"); }
    void EnableExit(bool e) override { m_journal.push_back(e ? "exit on" : "exit off"); }
    void LockInput(bool l) override { m_journal.push_back(l ? "input locked" : "input free"); }
    void ShowNote() override { m_journal.push_back("note shown"); }
    void CloseNote() override { m_journal.push_back("note closed"); }
    void DestroyNote() override { m_journal.push_back("note destroyed"); }
    std::string ReadAddress() const override {
        m_journal.push_back("read address");
        return address;
    }
    std::string ReadGateway() const override {
        m_journal.push_back("read gateway");
        return gateway;
    }
    void ShowCheckingNote() override { m_journal.push_back("note: checking"); }
    // Finish, or first the way back when the page offers it and wayBack is set: a failed
    // way back leaves the page, where Finish follows.
    int RunFinishPage(const ConnectionReport& report, IWayBack& back) override {
        m_journal.push_back("finish page: gateway " + report.gateway +
                            (report.gatewayAnswered ? " yes" : " no") + ", dns " + report.dnsServer +
                            (report.dnsAnswered ? " yes" : " no"));
        if (wayBack && !report.Passed()) {
            const std::optional<std::wstring> failure = back.Restore();
            if (!failure) return CApplySequence::RestoredResult;
            m_journal.push_back("way back failed: " + WinBase::Utf8FromWide(*failure));
        }
        return CApplySequence::FinishResult;  // every other way out ends it with result 2
    }
    DWORD RestartComputer() override {
        m_journal.push_back("restart");
        return restartStatus;
    }
    void AskForRestartByHand() override { m_journal.push_back("restart by hand"); }
    void ReportBackupFailure(const std::wstring& detail) override {
        m_journal.push_back("backup failure: " + WinBase::Utf8FromWide(detail));
    }
    void ReportStoreFailure(const std::wstring& connection, const std::vector<StoreStep>& failed) override {
        static const char* const names[] = {"open", "ip", "mask", "gateway", "dns", "dhcp"};
        std::string entry = "store failure: " + WinBase::Utf8FromWide(connection) + ":";
        for (const StoreStep step : failed) entry += std::string(" ") + names[static_cast<int>(step)];
        m_journal.push_back(entry);
    }
    void EndWizard() override { m_journal.push_back("end"); }
    std::string address = "192.168.5.20";
    std::string gateway = "192.168.5.254";
    DWORD restartStatus = ERROR_SUCCESS;
    bool wayBack = false;

private:
    Journal& m_journal;
};

class RecordingBackup : public ISettingsBackup {
public:
    explicit RecordingBackup(Journal& journal) : m_journal(journal) {}
    bool Save(const AdapterInventory::Adapter& adapter, std::wstring& detail) override {
        m_journal.push_back("backup " + WinBase::Utf8FromWide(adapter.serviceName));
        detail = saved ? L"C:\\Backups\\20261208-225301-TarveloIP.reg" : L"disk full";
        return saved;
    }
    bool RestoreSaved(std::wstring& detail) override {
        m_journal.push_back("restore snapshot");
        detail = restores ? L"C:\\Backups\\20261208-225301-TarveloIP.reg" : L"access denied";
        return restores;
    }
    std::optional<PreviousAddress> Previous() const override { return previous; }
    bool saved = true;
    bool restores = true;
    std::optional<PreviousAddress> previous = PreviousAddress{};  // on DHCP

private:
    Journal& m_journal;
};

class RecordingChecks : public IConnectionChecks {
public:
    explicit RecordingChecks(Journal& journal) : m_journal(journal) {}
    bool GatewayAnswers(const std::string& gateway) override {
        m_journal.push_back("check gateway " + gateway);
        return gatewayAnswers;
    }
    bool DnsServerAnswers(const std::string& server) override {
        m_journal.push_back("check dns " + server);
        return dnsAnswers;
    }
    bool gatewayAnswers = true;
    bool dnsAnswers = true;

private:
    Journal& m_journal;
};

// The unfinished-apply record's life, in the journal; ended only once started.
class RecordingApplyRecord : public IApplyRecord {
public:
    explicit RecordingApplyRecord(Journal& journal) : m_journal(journal) {}
    void Started(const std::wstring& service, const std::wstring& snapshotPath) override {
        m_started = true;
        m_journal.push_back("record " + WinBase::Utf8FromWide(service) + " " +
                            WinBase::Utf8FromWide(snapshotPath));
    }
    void Ended() override {
        if (m_started) m_journal.push_back("record ended");
        m_started = false;
    }

private:
    Journal& m_journal;
    bool m_started = false;
};

// The log's lines, as UTF-8.
class RecordingLog : public IApplyLog {
public:
    void Write(const std::wstring& line) noexcept override { lines.push_back(WinBase::Utf8FromWide(line)); }
    Journal lines;
};

// The wired adapter of a Windows 10 laptop, as the inventory describes it.
AdapterInventory::Adapter WiredAdapter() {
    AdapterInventory::Adapter adapter;
    adapter.cardKey = L"2";
    adapter.serviceName = L"{5C6E1A02-3D4B-4F8A-9E21-7B0C9D8E6F02}";
    adapter.description = L"Intel(R) Ethernet Connection I219-V";
    adapter.connectionName = L"乙太網路";
    adapter.physical = true;
    adapter.medium = AdapterInventory::Medium::Wired;
    return adapter;
}

const std::string Service = "{5C6E1A02-3D4B-4F8A-9E21-7B0C9D8E6F02}";

struct Sequence {
    Journal journal;
    AdapterInventory::Adapter adapter = WiredAdapter();
    RecordingLauncher launcher{journal};
    RecordingStore store{journal};
    RecordingPage page{journal};
    RecordingBackup backup{journal};
    RecordingChecks checks{journal};
    RecordingLog log;
    RecordingApplyRecord record{journal};
    CApplySequence sequence{page};
    bool Run() { return sequence.Run(adapter, adapter.serviceName, launcher, store, backup, checks, log); }
};

const std::string Dns = ProviderDnsList;
const std::string Primary = ProviderDnsPrimary;
const std::string Secondary = ProviderDnsSecondary;
// The three network shell runs for a connection, as journal entries.
Journal NetshRuns(const std::string& connection, const std::string& address = "192.168.5.20",
                  const std::string& gateway = "192.168.5.254") {
    const std::string name = "name=\"" + connection + "\"";
    const std::string in = "] in C:\\windows\\system32";
    return {"run C:\\windows\\system32\\netsh.exe [interface ip set address " + name +
                " source=static addr=" + address + " mask=255.255.255.0 gateway=" + gateway + " gwmetric=1" +
                in,
            "run C:\\windows\\system32\\netsh.exe [interface ip set dnsservers " + name +
                " source=static addr=" + Primary + " register=primary validate=no" + in,
            "run C:\\windows\\system32\\netsh.exe [interface ip add dnsservers " + name +
                " addr=" + Secondary + " index=2 validate=no" + in};
}
const std::string NetshRun = NetshRuns("乙太網路").front();
// The one tool run, for the chosen adapter's service name.
const std::string ToolRun = "run C:\\windows\\Adapset.exe [" + Service +
                            " 192.168.5.20 255.255.255.0 192.168.5.254 " + Dns + "] in C:\\windows";

// Whether the journal holds the entry.
bool Holds(const Journal& journal, const std::string& entry) {
    return std::find(journal.begin(), journal.end(), entry) != journal.end();
}

}  // namespace

TEST(ApplySequence, RunsEveryStepInOrderRestartsAfterFinishAndEnds) {
    ASSERT_EQ(GetACP(), 950u);
    Sequence s;
    EXPECT_TRUE(s.Run());
    const Journal expected = {
        "wait cursor",
        "next off",
        "exit off",
        "input locked",
        "note shown",
        "backup " + Service,
        "read address",
        "read gateway",
        NetshRuns("乙太網路")[0],
        NetshRuns("乙太網路")[1],
        NetshRuns("乙太網路")[2],
        ToolRun,
        "store open " + Service,
        "store ip 192.168.5.20",
        "store mask 255.255.255.0",
        "store gateway 192.168.5.254",
        "store dns " + Dns,
        "store dhcp off",
        "store close",
        "note: checking",
        "check gateway 192.168.5.254",
        "check dns " + Primary,
        "note closed",
        "restore cursor",
        "finish page: gateway 192.168.5.254 yes, dns " + Primary + " yes",
        "restart",
        "end",
        "note destroyed",
    };
    EXPECT_EQ(s.journal, expected);
}

TEST(ApplySequence, NetworkShellGetsTheAdaptersConnectionNameQuotedWhenItHoldsABlank) {
    for (const auto& [name, shown] : {std::pair<std::wstring, std::string>{L"乙太網路 2", "乙太網路 2"},
                                      {L"Wi-Fi", "Wi-Fi"},
                                      // unknown: the fixed name's Big5 bytes as the shell's
                                      // ANSI call reads them under code page 950
                                      {L"", "區域連線"},
                                      // a quote cannot be passed inside the quoted name
                                      {L"My \"home\"", "區域連線"},
                                      // a line break or escape sequence is written out
                                      {L"LAN\r\n\x1b[2J\u202e", "LAN\\x0d\\x0a\\x1b[2J\\u202e"}}) {
        Sequence s;
        s.adapter.connectionName = name;
        s.Run();
        EXPECT_EQ(Journal(s.journal.begin() + 8, s.journal.begin() + 11), NetshRuns(shown));
    }
}

TEST(ApplySequence, LogNamesTheAddressEveryProgramWithItsStatusEveryWriteAndTheRestart) {
    Sequence s;
    s.launcher.exitStatus = 87;
    s.store.writeResult = false;
    s.Run();
    const Journal expected = {
        "apply started",
        "adapter 乙太網路 (card 2, service " + Service + ")",
        "snapshot saved: C:\\Backups\\20261208-225301-TarveloIP.reg",
        "address 192.168.5.20, gateway 192.168.5.254",
        "run C:\\windows\\system32\\netsh.exe interface ip set address name=\"乙太網路\" source=static "
        "addr=192.168.5.20 "
        "mask=255.255.255.0 gateway=192.168.5.254 gwmetric=1 (in C:\\windows\\system32): not started",
        "run C:\\windows\\system32\\netsh.exe interface ip set dnsservers name=\"乙太網路\" source=static "
        "addr=" +
            Primary + " register=primary validate=no (in C:\\windows\\system32): not started",
        "run C:\\windows\\system32\\netsh.exe interface ip add dnsservers name=\"乙太網路\" addr=" +
            Secondary + " index=2 validate=no (in C:\\windows\\system32): not started",
        "run C:\\windows\\Adapset.exe " + Service + " 192.168.5.20 255.255.255.0 192.168.5.254 " + Dns +
            " (in C:\\windows): exit status 87",
        "store open: ok",
        "store IPAddress 192.168.5.20: failed",
        "store SubnetMask 255.255.255.0: failed",
        "store DefaultGateway 192.168.5.254: failed",
        "store NameServer " + Dns + ": failed",
        "store EnableDHCP 0: failed",
    };
    EXPECT_EQ(s.log.lines, expected);
}

// The tool reads a name that begins with a digit as an adapter number: such a service
// name is given as the number of the adapter's card instead, so no other card is meant.
TEST(ApplySequence, ToolGetsTheServiceNameOrTheCardsNumberWhenTheNameLooksLikeOne) {
    AdapterInventory::Adapter adapter = WiredAdapter();
    const std::vector<std::wstring> cards = {L"15", L"2", L"3"};
    EXPECT_EQ(CApplySequence::ToolAdapterName(adapter, cards), WinBase::WideFromNarrow(Service));
    adapter.serviceName = L"3C905C1";
    EXPECT_EQ(CApplySequence::ToolAdapterName(adapter, cards), L"2");
    adapter.cardKey = L"9";  // a card that is not listed (any more)
    EXPECT_EQ(CApplySequence::ToolAdapterName(adapter, cards), L"3C905C1");
}

// What the started program's C runtime reads back from a command line.
std::vector<std::wstring> ArgumentsOf(const std::wstring& commandLine) {
    int count = 0;
    LPWSTR* const arguments = CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> read(arguments, arguments + (arguments != nullptr ? count : 0));
    LocalFree(arguments);
    return read;
}

TEST(CommandLine, EveryArgumentComesBackAsWritten) {
    const std::wstring program = L"C:\\Windows\\system32\\netsh.exe";
    for (const std::wstring& text :
         {std::wstring(L"plain"), std::wstring(L""), std::wstring(L"two words"), std::wstring(L"tab\there"),
          std::wstring(L"say \"hi\""), std::wstring(L"C:\\ends in\\"), std::wstring(L"a\\\\\"b"),
          std::wstring(L"\\\\server\\share\\"), std::wstring(L"乙太網路 2")}) {
        SCOPED_TRACE(WinBase::Utf8FromWide(text));
        const std::wstring line =
            CommandLine(program, CommandLineArgument(text) + L" " + QuotedArgument(text) + L" next");
        EXPECT_EQ(ArgumentsOf(line), (std::vector<std::wstring>{program, text, text, L"next"}))
            << WinBase::Utf8FromWide(line);
    }
    EXPECT_EQ(QuotedArgument(L"乙太網路 2"), L"\"乙太網路 2\"");
    EXPECT_EQ(QuotedArgument(L"a\\\"b\\"), L"\"a\\\\\\\"b\\\\\"");
    EXPECT_EQ(CommandLineArgument(L"{5C6E1A02}"), L"{5C6E1A02}");
    EXPECT_EQ(CommandLine(program, L""), L"\"" + program + L"\"");
}

TEST(ApplySequence, ToolGetsAServiceNameWithABlankOrControlCharacterAsOneArgument) {
    const std::wstring name = L"My Card\n2";
    EXPECT_EQ(ArgumentsOf(L"x " + CApplySequence::ToolParameters(name, "192.168.5.20", "192.168.5.254"))[1],
              L"My Card\\x0a2");
}

TEST(ApplySequence, FallbackConnectionNameIsBig5) {
    // 區域連線 in code page 950.
    EXPECT_EQ(std::string(CApplySequence::FallbackConnectionName), "\xB0\xCF\xB0\xEC\xB3\x73\xBD\x75");
}

TEST(ApplySequence, ChecksFollowTheWritesAndTheirResultsReachTheLogAndTheClosingPage) {
    for (const auto& [gateway, dns] : {std::pair{true, true}, {false, true}, {true, false}, {false, false}}) {
        Sequence s;
        s.checks.gatewayAnswers = gateway;
        s.checks.dnsAnswers = dns;
        s.Run();
        const auto close = std::find(s.journal.begin(), s.journal.end(), "store close");
        ASSERT_NE(close, s.journal.end());
        const std::string page = std::string("finish page: gateway 192.168.5.254 ") +
                                 (gateway ? "yes" : "no") + ", dns " + Primary + (dns ? " yes" : " no");
        const Journal expected = {"note: checking",
                                  "check gateway 192.168.5.254",
                                  "check dns " + Primary,
                                  "note closed",
                                  "restore cursor",
                                  page,
                                  "restart",
                                  "end",
                                  "note destroyed"};
        EXPECT_EQ(Journal(close + 1, s.journal.end()), expected);
        const Journal logTail(s.log.lines.end() - 3, s.log.lines.end());
        EXPECT_EQ(logTail, (Journal{std::string("check gateway 192.168.5.254: ") +
                                        (gateway ? "answered" : "no answer"),
                                    "check DNS server " + Primary + ": " + (dns ? "answered" : "no answer"),
                                    "restart requested"}));
    }
}

// The way back after DHCP: the snapshot first, then the shell back to DHCP for address
// and DNS, the snapshot once more over what the shell wrote; then the wizard ends
// without a restart.
TEST(ApplySequence, WayBackRestoresTheSnapshotPutsTheConnectionBackToDhcpAndEndsWithoutRestart) {
    Sequence s;
    s.checks.gatewayAnswers = false;
    s.page.wayBack = true;
    s.adapter.connectionName = L"乙太網路 2";
    s.Run();
    const auto page = std::find_if(s.journal.begin(), s.journal.end(),
                                   [](const std::string& e) { return e.rfind("finish page", 0) == 0; });
    ASSERT_NE(page, s.journal.end());
    const Journal expected = {"restore snapshot",
                              "run C:\\windows\\system32\\netsh.exe [interface ip set address "
                              "name=\"乙太網路 2\" source=dhcp] in C:\\windows\\system32",
                              "run C:\\windows\\system32\\netsh.exe [interface ip set dnsservers "
                              "name=\"乙太網路 2\" source=dhcp] in "
                              "C:\\windows\\system32",
                              "restore snapshot",
                              "end",
                              "note destroyed"};
    EXPECT_EQ(Journal(page + 1, s.journal.end()), expected);
    EXPECT_EQ(s.log.lines.back(), "ended after restoring the earlier settings: no restart requested");
    EXPECT_TRUE(Holds(s.log.lines, "restored C:\\Backups\\20261208-225301-TarveloIP.reg"));
}

TEST(ApplySequence, WayBackToStaticSettingsGivesTheShellTheEarlierValues) {
    Sequence s;
    s.checks.dnsAnswers = false;
    s.page.wayBack = true;
    s.backup.previous =
        PreviousAddress{false, "10.0.1.5", "255.255.0.0", "10.0.1.1", {"10.0.1.53", "10.0.1.54"}};
    s.Run();
    const std::string in = "] in C:\\windows\\system32";
    for (const std::string& run : {"run C:\\windows\\system32\\netsh.exe [interface ip set address "
                                   "name=\"乙太網路\" source=static addr=10.0.1.5 "
                                   "mask=255.255.0.0 "
                                   "gateway=10.0.1.1 gwmetric=1" +
                                       in,
                                   "run C:\\windows\\system32\\netsh.exe [interface ip set dnsservers "
                                   "name=\"乙太網路\" source=static addr=10.0.1.53 "
                                   "register=primary validate=no" +
                                       in,
                                   "run C:\\windows\\system32\\netsh.exe [interface ip add dnsservers "
                                   "name=\"乙太網路\" addr=10.0.1.54 index=2 validate=no" +
                                       in})
        EXPECT_TRUE(Holds(s.journal, run)) << run;
    // Without gateway and DNS servers before: none again.
    const std::vector<std::wstring> bare =
        NetworkShellCommands::Restore(L"Wi-Fi", PreviousAddress{false, "10.0.1.5", "255.255.0.0", "", {}});
    EXPECT_EQ(bare,
              (std::vector<std::wstring>{
                  L"interface ip set address name=\"Wi-Fi\" source=static addr=10.0.1.5 mask=255.255.0.0 "
                  L"gateway=none",
                  L"interface ip set dnsservers name=\"Wi-Fi\" source=static addr=none"}));
}

// A way back that cannot restore changes nothing: no shell run, the page says why and
// stays, and Finish still restarts.
TEST(ApplySequence, FailedWayBackRunsNothingAndLeavesFinish) {
    Sequence s;
    s.checks.gatewayAnswers = false;
    s.page.wayBack = true;
    s.backup.restores = false;
    s.Run();
    const auto page = std::find_if(s.journal.begin(), s.journal.end(),
                                   [](const std::string& e) { return e.rfind("finish page", 0) == 0; });
    ASSERT_NE(page, s.journal.end());
    const Journal expected = {"restore snapshot", "way back failed: access denied", "restart", "end",
                              "note destroyed"};
    EXPECT_EQ(Journal(page + 1, s.journal.end()), expected);
    EXPECT_TRUE(Holds(s.log.lines, "restore failed: access denied"));
}

TEST(ApplySequence, ToolAndStoreGetTheFixedMaskAndDnsListWhateverThePageShows) {
    Sequence s;
    s.page.address = "10.20.30.40";
    s.page.gateway = "10.20.30.254";
    s.Run();
    EXPECT_TRUE(Holds(s.journal, "run C:\\windows\\Adapset.exe [" + Service +
                                     " 10.20.30.40 255.255.255.0 10.20.30.254 " + Dns + "] in C:\\windows"));
    EXPECT_TRUE(Holds(s.journal, "store mask 255.255.255.0"));
    EXPECT_TRUE(Holds(s.journal, "store dns " + Dns));
}

// A write that fails is no success: every write is still tried and the store closed,
// then the user is told which values of which connection could not be written and
// gets the page back instead of the closing page.
TEST(ApplySequence, FailedWritesAreNamedAndTheClosingPageNeverShows) {
    for (const auto& [failing, named] : {std::pair<std::string, std::string>{"", " ip mask gateway dns dhcp"},
                                         {"dns", " dns"},
                                         {"dhcp", " dhcp"}}) {
        SCOPED_TRACE(failing);
        Sequence s;
        s.store.writeResult = failing.empty() ? false : true;
        s.store.failingWrite = failing;
        s.Run();
        const auto close = std::find(s.journal.begin(), s.journal.end(), "store close");
        ASSERT_NE(close, s.journal.end());
        EXPECT_EQ(*(close - 1), "store dhcp off");
        EXPECT_EQ(*(close - 2), "store dns " + Dns);
        const Journal tail(close + 1, s.journal.end());
        const Journal expected = {"note destroyed", "restore cursor", "store failure: 乙太網路:" + named,
                                  "input free",     "exit on",        "next on",
                                  "note destroyed"};
        EXPECT_EQ(tail, expected);
    }
}

TEST(ApplySequence, AdapterThatCannotBeOpenedWritesNothingAndGivesThePageBack) {
    Sequence s;
    s.store.openResult = false;
    s.adapter.connectionName.clear();  // then the description names it
    s.Run();
    const Journal tail(s.journal.end() - 8, s.journal.end());
    const Journal expected = {"store open " + Service,
                              "note destroyed",
                              "restore cursor",
                              "store failure: Intel(R) Ethernet Connection I219-V: open",
                              "input free",
                              "exit on",
                              "next on",
                              "note destroyed"};
    EXPECT_EQ(tail, expected);
    for (const auto& entry : s.journal) {
        EXPECT_EQ(entry.find("store ip"), std::string::npos);
        EXPECT_NE(entry, "finish page");
        EXPECT_NE(entry, "restart");
        EXPECT_NE(entry, "end");
    }
    EXPECT_EQ(s.log.lines.back(), "store open: failed");
}

TEST(ApplySequence, UnsavedBackupRunsNothingTellsTheUserAndGivesThePageBack) {
    Sequence s;
    s.backup.saved = false;
    EXPECT_TRUE(s.Run());
    const Journal expected = {"wait cursor",    "next off",       "exit off",
                              "input locked",   "note shown",     "backup " + Service,
                              "note destroyed", "restore cursor", "backup failure: disk full",
                              "input free",     "exit on",        "next on",
                              "note destroyed"};
    EXPECT_EQ(s.journal, expected);
    EXPECT_EQ(s.log.lines.back(), "snapshot not saved, nothing changed: disk full");
}

TEST(ApplySequence, RefusedRestartAsksForARestartByHandThenEnds) {
    Sequence s;
    s.page.restartStatus = ERROR_PRIVILEGE_NOT_HELD;
    s.Run();
    const Journal tail(s.journal.end() - 5, s.journal.end());
    const Journal expected = {"finish page: gateway 192.168.5.254 yes, dns " + Primary + " yes", "restart",
                              "restart by hand", "end", "note destroyed"};
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(s.log.lines.back(), "restart request failed: error 1314");
}

TEST(ApplySequence, NoChecksWhenTheStoreCannotOpenTheAdapter) {
    Sequence s;
    s.store.openResult = false;
    s.Run();
    EXPECT_FALSE(Holds(s.journal, "note: checking"));
    EXPECT_FALSE(Holds(s.journal, "check gateway 192.168.5.254"));
}

TEST(ApplySequence, CannotStartAgainWhileItWaitsForAProgram) {
    Sequence s;
    bool nestedResult = true;
    int nestedCalls = 0;
    // A Next pressed while a program runs reaches Run again through the dispatched message.
    s.launcher.onRun = [&] {
        if (nestedCalls++ == 0) nestedResult = s.Run();
    };
    EXPECT_TRUE(s.Run());
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(std::count(s.journal.begin(), s.journal.end(), NetshRun), 1);
    EXPECT_EQ(std::count(s.journal.begin(), s.journal.end(), ToolRun), 1);
    // Once ended, the guard is down again.
    s.journal.clear();
    EXPECT_TRUE(s.Run());
}

TEST(ApplySequence, AnExceptionFromTheStoreStillRemovesTheNoteWindow) {
    Sequence s;
    s.store.throwOnOpen = true;
    EXPECT_THROW(s.Run(), std::bad_alloc);
    EXPECT_EQ(s.journal.back(), "note destroyed");
    s.store.throwOnOpen = false;
    EXPECT_TRUE(s.Run()) << "the running guard must be down after an exception";
}

// The record of an unfinished apply lives from just after the snapshot, before any
// program runs, to the end: the closing page's end (before the restart), failed writes;
// none without a snapshot; an exception (the wizard cut off) leaves it.
TEST(ApplySequence, KeepsTheUnfinishedApplyRecordFromTheSnapshotToTheEnd) {
    const std::string started = "record " + Service + " C:\\Backups\\20261208-225301-TarveloIP.reg";
    {
        Sequence s;
        s.sequence.SetRecord(&s.record);
        s.Run();
        const auto start = std::find(s.journal.begin(), s.journal.end(), started);
        ASSERT_NE(start, s.journal.end());
        EXPECT_EQ(*(start - 1), "backup " + Service);
        EXPECT_EQ(*(start + 1), "read address");
        const auto end = std::find(s.journal.begin(), s.journal.end(), "record ended");
        ASSERT_NE(end, s.journal.end());
        EXPECT_EQ(*(end + 1), "restart");
        EXPECT_EQ(std::count(s.journal.begin(), s.journal.end(), "record ended"), 1);
    }
    {
        Sequence s;
        s.sequence.SetRecord(&s.record);
        s.store.writeResult = false;
        s.Run();
        EXPECT_EQ(*(s.journal.end() - 2), "record ended");
    }
    {
        Sequence s;
        s.sequence.SetRecord(&s.record);
        s.backup.saved = false;
        s.Run();
        EXPECT_FALSE(Holds(s.journal, started));
    }
    {
        Sequence s;
        s.sequence.SetRecord(&s.record);
        s.store.throwOnOpen = true;
        EXPECT_THROW(s.Run(), std::bad_alloc);
        EXPECT_TRUE(Holds(s.journal, started));
        EXPECT_FALSE(Holds(s.journal, "record ended"));
    }
}
