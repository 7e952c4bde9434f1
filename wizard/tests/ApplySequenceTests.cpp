// The apply sequence over recording operations: order of effects, parameter texts,
// working directories and branches, without windows, processes or registry.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

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
        const std::string run = WinBase::Utf8FromWide(file) + " [" + WinBase::Utf8FromWide(parameters) + "]";
        m_journal.push_back("run " + run + " in " + WinBase::Utf8FromWide(directory));
        if (onRun) onRun();
        // The first outcome whose text the run holds; each is used once.
        for (auto outcome = outcomes.begin(); outcome != outcomes.end(); ++outcome) {
            if (run.find(outcome->first) == std::string::npos) continue;
            const std::optional<DWORD> status = outcome->second;
            outcomes.erase(outcome);
            return status;
        }
        return exitStatus;
    }
    std::wstring WindowsDirectory() const override { return L"C:\\windows"; }
    std::function<void()> onRun;
    DWORD exitStatus = 0;
    // Runs whose text holds the first part end so (nullopt: not started).
    std::vector<std::pair<std::string, std::optional<DWORD>>> outcomes;

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
    void ShowCheckingNote(const std::string& gateway, const std::string& dns) override {
        m_journal.push_back("note: checking " + gateway + " " + dns);
    }
    // Finish (or closed, with closeInstead), or first the way back when the page offers
    // it and wayBack is set: a failed way back leaves the page, where Finish follows.
    int RunFinishPage(const ConnectionReport& report, IWayBack& back) override {
        const ConnectionCheck::DnsCheck& dns = report.results.dns;
        m_journal.push_back("finish page: gateway " + report.gateway +
                            (report.results.gatewayAnswered ? " yes" : " no") + ", dns " + report.dnsServer +
                            (dns.replied ? " code " + std::to_string(dns.resultCode) : " silent"));
        if (wayBack && !report.Passed()) {
            const WayBackOutcome outcome = back.Restore();
            if (!outcome.notRestored) return CApplySequence::RestoredResult;
            m_journal.push_back("way back failed: " + WinBase::Utf8FromWide(outcome.notRestored->Describe()));
        }
        return closeInstead ? CApplySequence::ClosedResult : CApplySequence::FinishResult;
    }
    void AskForRestartByHand() override { m_journal.push_back("restart by hand"); }
    void ReportBackupFailure(const SettingsSnapshot::Failure& failure) override {
        m_journal.push_back("backup failure: " + WinBase::Utf8FromWide(failure.Describe()));
    }
    void ReportApplyFailure(const std::wstring& connection, const ApplyFailure& failure,
                            const WayBackOutcome& putBack) override {
        static const char* const steps[] = {"shell", "tool", "store"};
        static const char* const names[] = {"open", "ip", "mask", "gateway", "dns", "dhcp"};
        std::string entry =
            "failure: " + WinBase::Utf8FromWide(connection) + ": " + steps[static_cast<int>(failure.step)];
        for (const StoreStep step : failure.storeSteps)
            entry += std::string(" ") + names[static_cast<int>(step)];
        if (failure.step != ApplyFailure::Step::Store)
            entry += " [" + WinBase::Utf8FromWide(failure.parameters) + "] " +
                     (failure.exitStatus ? std::to_string(*failure.exitStatus) : std::string("not started"));
        m_journal.push_back(entry + "; put back: " + Describe(putBack));
    }
    void ReportWayBack(const std::wstring& connection, const std::optional<PreviousAddress>& previous,
                       const WayBackOutcome& outcome) override {
        m_journal.push_back("way back: " + WinBase::Utf8FromWide(connection) + ", " +
                            (previous ? (previous->dhcp ? "dhcp" : previous->address) : "unknown") + ", " +
                            Describe(outcome));
    }
    static std::string Describe(const WayBackOutcome& outcome) {
        if (outcome.Complete()) return "complete";
        std::string text;
        if (outcome.notRestored)
            text += "not restored (" + WinBase::Utf8FromWide(outcome.notRestored->Describe()) + ")";
        if (outcome.liveSkipped) text += "live skipped";
        for (const std::wstring& run : outcome.liveFailed)
            text += "live failed [" + WinBase::Utf8FromWide(run) + "]";
        if (outcome.notRestoredAgain) text += "not restored again";
        return text;
    }
    void EndWizard() override { m_journal.push_back("end"); }
    std::string address = "192.168.5.20";
    std::string gateway = "192.168.5.254";
    bool wayBack = false;
    bool closeInstead = false;

private:
    Journal& m_journal;
};

class RecordingBackup : public ISettingsBackup {
public:
    explicit RecordingBackup(Journal& journal) : m_journal(journal) {}
    std::optional<SettingsSnapshot::Failure> Save(const AdapterInventory::Adapter& adapter) override {
        m_journal.push_back("backup " + WinBase::Utf8FromWide(adapter.serviceName));
        if (!saved) return SettingsSnapshot::Failure{L"", L"disk full"};
        return std::nullopt;
    }
    std::wstring SavedPath() const override { return L"C:\\Backups\\20261208-225301-TarveloIP.reg"; }
    std::optional<SettingsSnapshot::Failure> RestoreSaved() override {
        m_journal.push_back("restore snapshot");
        if (!restores) return SettingsSnapshot::Failure{L"", L"access denied"};
        return std::nullopt;
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
    ConnectionCheck::CheckResults Run(const std::string& gateway, const std::string& server) override {
        m_journal.push_back("checks " + gateway + " " + server);
        ConnectionCheck::CheckResults results;
        results.gatewayAnswered = gatewayAnswers;
        results.dns.replied = dnsReplies;
        results.dns.resultCode = dnsCode;
        return results;
    }
    bool gatewayAnswers = true;
    bool dnsReplies = true;
    uint8_t dnsCode = ConnectionCheck::DnsNoError;

private:
    Journal& m_journal;
};

class RecordingRestart : public IRestart {
public:
    explicit RecordingRestart(Journal& journal) : m_journal(journal) {}
    DWORD RestartComputer() override {
        m_journal.push_back("restart");
        return status;
    }
    DWORD status = ERROR_SUCCESS;

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
    RecordingRestart restart{journal};
    CApplySequence sequence{page, {launcher, store, backup, checks, log, restart}};
    bool Run() { return sequence.Run(adapter, adapter.serviceName); }
};

const std::string Dns = ProviderDnsList;
const std::string Primary = ProviderDnsPrimary;
const std::string Secondary = ProviderDnsSecondary;
// The three network shell runs for a connection, as journal entries.
Journal NetshRuns(const std::string& connection, const std::string& address = "192.168.5.20",
                  const std::string& gateway = "192.168.5.254") {
    const std::string name = "name=\"" + connection + "\"";
    const std::string in = "] in C:\\windows\\system32";
    return {"run C:\\windows\\system32\\netsh.exe [interface ipv4 set address " + name +
                " source=static address=" + address + " mask=255.255.255.0 gateway=" + gateway +
                " gwmetric=1" + in,
            "run C:\\windows\\system32\\netsh.exe [interface ipv4 set dnsservers " + name +
                " source=static address=" + Primary + " register=primary validate=no" + in,
            "run C:\\windows\\system32\\netsh.exe [interface ipv4 add dnsservers " + name +
                " address=" + Secondary + " index=2 validate=no" + in};
}
const std::string NetshRun = NetshRuns("乙太網路").front();
// The one tool run, for the chosen adapter's service name.
const std::string ToolRun = "run C:\\windows\\Adapset.exe [" + Service +
                            " 192.168.5.20 255.255.255.0 192.168.5.254 " + Dns + "] in C:\\windows";

const std::string In = "] in C:\\windows\\system32";
const std::string Netsh = "run C:\\windows\\system32\\netsh.exe [";
// The way back's runs for a connection that was on DHCP.
Journal DhcpRuns(const std::string& connection) {
    return {Netsh + "interface ipv4 set address name=\"" + connection + "\" source=dhcp" + In,
            Netsh + "interface ipv4 set dnsservers name=\"" + connection + "\" source=dhcp" + In};
}

// The journal from the first entry that starts with the text to the end.
Journal From(const Journal& journal, const std::string& start) {
    const auto at = std::find_if(journal.begin(), journal.end(),
                                 [&](const std::string& e) { return e.rfind(start, 0) == 0; });
    return Journal(at, journal.end());
}

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
        "note: checking 192.168.5.254 " + Primary,
        "checks 192.168.5.254 " + Primary,
        "note closed",
        "restore cursor",
        "finish page: gateway 192.168.5.254 yes, dns " + Primary + " code 0",
        "restart",
        "end",
        "note destroyed",
    };
    EXPECT_EQ(s.journal, expected);
}

TEST(ApplySequence, NetworkShellGetsTheAdaptersConnectionNameQuoted) {
    for (const auto& [name, shown] : {std::pair<std::wstring, std::string>{L"乙太網路 2", "乙太網路 2"},
                                      {L"Wi-Fi", "Wi-Fi"},
                                      // unknown: the fixed name's Big5 bytes as the shell's
                                      // ANSI call reads them under code page 950
                                      {L"", "區域連線"},
                                      // a quote cannot be passed inside the quoted name
                                      {L"My \"home\"", "區域連線"},
                                      // a backslash before the closing quote would escape it
                                      {L"Lab\\", "Lab\\\\"},
                                      {L"Lab\\\\", "Lab\\\\\\\\"},
                                      {L"Lab\\ 2", "Lab\\ 2"},

                                      // a line break or escape sequence is written out
                                      {L"LAN\r\n\x1b[2J\u202e", "LAN\\x0d\\x0a\\x1b[2J\\u202e"}}) {
        Sequence s;
        s.adapter.connectionName = name;
        s.Run();
        EXPECT_EQ(Journal(s.journal.begin() + 8, s.journal.begin() + 11), NetshRuns(shown));
    }
    // The rule the quoting follows: what CommandLineToArgvW reads back is the name.
    for (const std::wstring name : {L"Lab\\", L"a\\\\", L"x\\y", L"乙太網路 2"}) {
        const std::wstring line = L"netsh " + NetworkShellCommands::QuotedName(name) + L" next";
        int count = 0;
        wchar_t** const words = CommandLineToArgvW(line.c_str(), &count);
        ASSERT_EQ(count, 3) << WinBase::Utf8FromWide(line);
        EXPECT_EQ(std::wstring(words[1]), L"name=" + name);
        EXPECT_EQ(std::wstring(words[2]), L"next");
        LocalFree(words);
    }
}

TEST(ApplySequence, LogNamesTheAddressEveryProgramWithItsStatusEveryWriteTheChecksAndTheRestart) {
    Sequence s;
    s.checks.dnsCode = ConnectionCheck::DnsRefused;
    s.Run();
    const Journal expected = {
        "apply started",
        "adapter 乙太網路 (card 2, service " + Service + ")",
        "snapshot saved: C:\\Backups\\20261208-225301-TarveloIP.reg",
        "address 192.168.5.20, gateway 192.168.5.254",
        "run C:\\windows\\system32\\netsh.exe interface ipv4 set address name=\"乙太網路\" source=static "
        "address=192.168.5.20 mask=255.255.255.0 gateway=192.168.5.254 gwmetric=1 (in "
        "C:\\windows\\system32): "
        "exit status 0",
        "run C:\\windows\\system32\\netsh.exe interface ipv4 set dnsservers name=\"乙太網路\" source=static "
        "address=" +
            Primary + " register=primary validate=no (in C:\\windows\\system32): exit status 0",
        "run C:\\windows\\system32\\netsh.exe interface ipv4 add dnsservers name=\"乙太網路\" address=" +
            Secondary + " index=2 validate=no (in C:\\windows\\system32): exit status 0",
        "run C:\\windows\\Adapset.exe " + Service + " 192.168.5.20 255.255.255.0 192.168.5.254 " + Dns +
            " (in C:\\windows): exit status 0",
        "store open: ok",
        "store IPAddress 192.168.5.20: ok",
        "store SubnetMask 255.255.255.0: ok",
        "store DefaultGateway 192.168.5.254: ok",
        "store NameServer " + Dns + ": ok",
        "store EnableDHCP 0: ok",
        "check gateway 192.168.5.254: answered",
        "check DNS server " + Primary + ": does not resolve (REFUSED)",
        "restart requested",
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

// Only a NOERROR reply passes the DNS check; whatever the checks found reaches the log
// and the closing page, and Finish restarts.
TEST(ApplySequence, ChecksRunTogetherAfterTheWritesAndTheirFindingsReachTheLogAndTheClosingPage) {
    struct Case {
        bool gateway, replied;
        uint8_t code;
        std::string dnsLog, dnsPage;
    };
    for (const Case& c :
         {Case{true, true, 0, "answered", "code 0"}, Case{false, true, 0, "answered", "code 0"},
          Case{true, false, 0, "no answer", "silent"},
          Case{true, true, 5, "does not resolve (REFUSED)", "code 5"},
          Case{true, true, 2, "does not resolve (SERVFAIL)", "code 2"},
          Case{false, true, 3, "does not resolve (NXDOMAIN)", "code 3"},
          Case{true, true, 4, "does not resolve (NOTIMP)", "code 4"},
          Case{true, true, 1, "does not resolve (FORMERR)", "code 1"},
          Case{true, true, 9, "does not resolve (result code 9)", "code 9"}}) {
        SCOPED_TRACE(c.dnsLog);
        Sequence s;
        s.checks.gatewayAnswers = c.gateway;
        s.checks.dnsReplies = c.replied;
        s.checks.dnsCode = c.code;
        s.Run();
        const std::string page = std::string("finish page: gateway 192.168.5.254 ") +
                                 (c.gateway ? "yes" : "no") + ", dns " + Primary + " " + c.dnsPage;
        const Journal expected = {"store close",
                                  "note: checking 192.168.5.254 " + Primary,
                                  "checks 192.168.5.254 " + Primary,
                                  "note closed",
                                  "restore cursor",
                                  page,
                                  "restart",
                                  "end",
                                  "note destroyed"};
        EXPECT_EQ(From(s.journal, "store close"), expected);
        const Journal logTail(s.log.lines.end() - 3, s.log.lines.end());
        EXPECT_EQ(logTail, (Journal{std::string("check gateway 192.168.5.254: ") +
                                        (c.gateway ? "answered" : "no answer"),
                                    "check DNS server " + Primary + ": " + c.dnsLog, "restart requested"}));
    }
}

// Esc, Alt+F4 and the close box end the closing page without Finish: the wizard ends,
// the new settings stay, and no restart is requested.
TEST(ApplySequence, ClosingTheClosingPageEndsWithoutARestart) {
    for (const bool passed : {true, false}) {
        Sequence s;
        s.checks.dnsCode = passed ? ConnectionCheck::DnsNoError : ConnectionCheck::DnsRefused;
        s.page.closeInstead = true;
        s.Run();
        EXPECT_EQ(From(s.journal, "finish page").size(), 3u);
        EXPECT_EQ(From(s.journal, "finish page")[1], "end");
        EXPECT_FALSE(Holds(s.journal, "restart"));
        EXPECT_FALSE(Holds(s.journal, "restart by hand"));
        EXPECT_EQ(s.log.lines.back(), "closing page closed: new settings kept, no restart requested");
    }
}

// The way back after DHCP: the snapshot first, then the shell back to DHCP for address
// and DNS, the snapshot once more over what the shell wrote; then one message says what
// was put back, and the wizard ends without a restart.
TEST(ApplySequence, WayBackRestoresTheSnapshotPutsTheConnectionBackToDhcpSaysSoAndEndsWithoutRestart) {
    Sequence s;
    s.checks.gatewayAnswers = false;
    s.page.wayBack = true;
    s.adapter.connectionName = L"乙太網路 2";
    s.Run();
    Journal expected = {"restore snapshot"};
    for (const std::string& run : DhcpRuns("乙太網路 2")) expected.push_back(run);
    for (const std::string e :
         {"restore snapshot", "way back: 乙太網路 2, dhcp, complete", "end", "note destroyed"})
        expected.push_back(e);
    const Journal after = From(s.journal, "finish page");
    EXPECT_EQ(Journal(after.begin() + 1, after.end()), expected);
    EXPECT_EQ(s.log.lines.back(), "ended after restoring the earlier settings: no restart requested");
    EXPECT_TRUE(Holds(s.log.lines, "restored C:\\Backups\\20261208-225301-TarveloIP.reg"));
}

TEST(ApplySequence, WayBackToStaticSettingsGivesTheShellTheEarlierValuesRetryingWithoutValidation) {
    Sequence s;
    s.checks.dnsReplies = false;
    s.page.wayBack = true;
    s.backup.previous =
        PreviousAddress{false, "10.0.1.5", "255.255.0.0", "10.0.1.1", {"10.0.1.53", "10.0.1.54"}};
    // An older Windows: the DNS command with validate=no fails, the plain one works.
    s.launcher.outcomes = {{"address=10.0.1.53 register=primary validate=no", DWORD{1}}};
    s.Run();
    Journal expected = {
        "restore snapshot",
        Netsh +
            "interface ipv4 set address name=\"乙太網路\" source=static address=10.0.1.5 mask=255.255.0.0 "
            "gateway=10.0.1.1 gwmetric=1" +
            In,
        Netsh +
            "interface ipv4 set dnsservers name=\"乙太網路\" source=static address=10.0.1.53 "
            "register=primary validate=no" +
            In,
        Netsh +
            "interface ipv4 set dnsservers name=\"乙太網路\" source=static address=10.0.1.53 "
            "register=primary" +
            In,
        Netsh + "interface ipv4 add dnsservers name=\"乙太網路\" address=10.0.1.54 index=2 validate=no" + In,
        "restore snapshot",
        "way back: 乙太網路, 10.0.1.5, complete"};
    const Journal after = From(s.journal, "finish page");
    EXPECT_EQ(Journal(after.begin() + 1, after.end() - 2), expected);
    // Without gateway and DNS servers before: none again.
    EXPECT_EQ(
        NetworkShellCommands::Restore(L"Wi-Fi", PreviousAddress{false, "10.0.1.5", "255.255.0.0", "", {}}),
        (std::vector<std::wstring>{
            L"interface ipv4 set address name=\"Wi-Fi\" source=static address=10.0.1.5 mask=255.255.0.0 "
            L"gateway=none",
            L"interface ipv4 set dnsservers name=\"Wi-Fi\" source=static address=none"}));
}

// Values from the snapshot reach the shell only as strict dotted-decimal IPv4: anything
// else skips the live step (logged), while the registry is still restored.
TEST(ApplySequence, WayBackGivesTheShellNoSnapshotValueThatIsNotPlainIpv4) {
    const PreviousAddress good{false, "10.0.1.5", "255.255.0.0", "10.0.1.1", {"10.0.1.53"}};
    ASSERT_TRUE(NetworkShellCommands::Restore(L"Wi-Fi", good).has_value());
    for (const auto& change : std::vector<std::function<void(PreviousAddress&)>>{
             [](PreviousAddress& p) { p.address = "10.0.1.5 gateway=1.2.3.4"; },
             [](PreviousAddress& p) { p.address = "010.0.1.5"; },
             [](PreviousAddress& p) { p.mask = "255.255.0.0\r\nset"; },
             [](PreviousAddress& p) { p.gateway = " 10.0.1.1"; },
             [](PreviousAddress& p) { p.gateway = "10.0.1.256"; },
             [](PreviousAddress& p) { p.dnsServers.push_back("10.0.1.54\""); },
             [](PreviousAddress& p) { p.dnsServers = {"1.2.3"}; }}) {
        PreviousAddress bad = good;
        change(bad);
        EXPECT_FALSE(NetworkShellCommands::Restore(L"Wi-Fi", bad).has_value()) << bad.address;
        Sequence s;
        s.checks.gatewayAnswers = false;
        s.page.wayBack = true;
        s.backup.previous = bad;
        s.Run();
        const Journal after = From(s.journal, "finish page");
        EXPECT_EQ(Journal(after.begin() + 1, after.end()),
                  (Journal{"restore snapshot", "way back: 乙太網路, " + bad.address + ", live skipped", "end",
                           "note destroyed"}));
        EXPECT_TRUE(Holds(s.log.lines, "earlier address is not plain IPv4 text: network shell not run"));
    }
}

// A way back that cannot restore changes nothing: no shell run, the page says why and
// stays, and Finish still restarts.
TEST(ApplySequence, FailedWayBackRunsNothingAndLeavesFinish) {
    Sequence s;
    s.checks.gatewayAnswers = false;
    s.page.wayBack = true;
    s.backup.restores = false;
    s.Run();
    const Journal expected = {"restore snapshot", "way back failed: access denied", "restart", "end",
                              "note destroyed"};
    const Journal after = From(s.journal, "finish page");
    EXPECT_EQ(Journal(after.begin() + 1, after.end()), expected);
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

// Once the snapshot is saved, every failing step puts everything back before the user
// is told: the snapshot, the connection back to DHCP, the snapshot again. Then one
// message names the step and how far putting back got, and the page comes back (no
// checks, no closing page, no restart).
TEST(ApplySequence, AnyFailingStepPutsEverythingBackBeforeTheUserIsTold) {
    struct Case {
        std::string name;
        std::function<void(Sequence&)> arrange;
        std::string lastRun;  // the journal entry the failure follows
        std::string failure;
    };
    const std::string setAddress =
        "interface ipv4 set address name=\"乙太網路\" source=static address=192.168.5.20 "
        "mask=255.255.255.0 gateway=192.168.5.254 gwmetric=1";
    const std::string addDns =
        "interface ipv4 add dnsservers name=\"乙太網路\" address=" + Secondary + " index=2";
    const std::string tool = Service + " 192.168.5.20 255.255.255.0 192.168.5.254 " + Dns;
    const Case cases[] = {
        {"shell not started",
         [](Sequence& s) {
             s.launcher.outcomes = {{"set address", std::nullopt}};
         },
         NetshRuns("乙太網路")[0], "shell [" + setAddress + "] not started"},
        {"shell exits non-zero",
         [](Sequence& s) {
             s.launcher.outcomes = {{"set address", DWORD{1}}};
         },
         NetshRuns("乙太網路")[0], "shell [" + setAddress + "] 1"},
        {"DNS command fails with and without validate=no",
         [](Sequence& s) {
             s.launcher.outcomes = {{"add dnsservers", DWORD{1}}, {"add dnsservers", DWORD{2}}};
         },
         Netsh + addDns + In, "shell [" + addDns + " validate=no] 2"},
        {"tool exits non-zero",
         [](Sequence& s) {
             s.launcher.outcomes = {{"Adapset", DWORD{29}}};
         },
         ToolRun, "tool [" + tool + "] 29"},
        {"tool not started",
         [](Sequence& s) {
             s.launcher.outcomes = {{"Adapset", std::nullopt}};
         },
         ToolRun, "tool [" + tool + "] not started"},
        {"store cannot open", [](Sequence& s) { s.store.openResult = false; }, "store open " + Service,
         "store open"},
        {"store write fails", [](Sequence& s) { s.store.failingWrite = "gateway"; }, "store close",
         "store gateway"},
        {"every store write fails", [](Sequence& s) { s.store.writeResult = false; }, "store close",
         "store ip mask gateway dns dhcp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sequence s;
        c.arrange(s);
        EXPECT_TRUE(s.Run());
        Journal expected = {c.lastRun, "restore snapshot"};
        for (const std::string& run : DhcpRuns("乙太網路")) expected.push_back(run);
        for (const std::string& e :
             {std::string("restore snapshot"), std::string("note destroyed"), std::string("restore cursor"),
              "failure: 乙太網路: " + c.failure + "; put back: complete", std::string("input free"),
              std::string("exit on"), std::string("next on"), std::string("note destroyed")})
            expected.push_back(e);
        const auto last = std::find(s.journal.rbegin(), s.journal.rend(), c.lastRun);
        ASSERT_NE(last, s.journal.rend());
        EXPECT_EQ(Journal(last.base() - 1, s.journal.end()), expected);
        for (const std::string& step :
             {std::string("checks"), std::string("finish page"), std::string("restart"), std::string("end")})
            EXPECT_TRUE(From(s.journal, step).empty()) << step;
        EXPECT_TRUE(Holds(s.log.lines, "apply failed: putting the earlier settings back"));
        EXPECT_EQ(s.log.lines.back(), "earlier settings put back");
    }
}

// A DNS command that exits non-zero with validate=no and succeeds without it is no
// failure: the sequence goes on.
TEST(ApplySequence, DnsCommandsAreRetriedWithoutValidationOnce) {
    Sequence s;
    s.launcher.outcomes = {{"set dnsservers", DWORD{1}}};
    s.Run();
    const Journal expected = {
        NetshRuns("乙太網路")[1],
        Netsh + "interface ipv4 set dnsservers name=\"乙太網路\" source=static address=" + Primary +
            " register=primary" + In,
        NetshRuns("乙太網路")[2], ToolRun};
    EXPECT_EQ(Journal(s.journal.begin() + 9, s.journal.begin() + 13), expected);
    EXPECT_TRUE(Holds(s.journal, "restart"));
    // The address command has no such parameter: its failure is not retried.
    EXPECT_EQ(NetworkShellCommands::WithoutValidation(L"interface ipv4 set address name=\"x\" source=dhcp"),
              std::nullopt);
}

// When putting back fails too, the message says exactly what was not put back.
TEST(ApplySequence, APutBackThatFailsIsReportedNotHidden) {
    Sequence s;
    s.store.openResult = false;
    s.backup.restores = false;
    s.Run();
    EXPECT_TRUE(Holds(s.journal, "failure: 乙太網路: store open; put back: not restored (access denied)"));
    EXPECT_FALSE(Holds(s.journal, DhcpRuns("乙太網路")[0]));
    EXPECT_EQ(s.log.lines.back(), "earlier settings not completely put back");

    Sequence live;
    live.launcher.outcomes = {{"Adapset", DWORD{29}}, {"source=dhcp", DWORD{1}}};
    live.Run();
    EXPECT_TRUE(Holds(live.journal, "failure: 乙太網路: tool [" + Service +
                                        " 192.168.5.20 255.255.255.0 192.168.5.254 " + Dns +
                                        "] 29; put back: live failed [interface ipv4 set address "
                                        "name=\"乙太網路\" source=dhcp]"));
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
    s.restart.status = ERROR_PRIVILEGE_NOT_HELD;
    s.Run();
    const Journal tail(s.journal.end() - 5, s.journal.end());
    const Journal expected = {"finish page: gateway 192.168.5.254 yes, dns " + Primary + " code 0", "restart",
                              "restart by hand", "end", "note destroyed"};
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(s.log.lines.back(), "restart request failed: error 1314");
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
