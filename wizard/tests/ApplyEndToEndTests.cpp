// The real TarveloIP.exe on the test display doing its whole job for the adapter its
// page shows: Next runs the network shell (a recording stand-in), the real Adapset.exe
// once from the Windows directory (with the recording DHCP client library), the store's
// writes, the closing page and the restart request (caught by a stand-in for Wine's
// session-end helper). Every other adapter keeps every byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "test_support/Process.h"
#include "test_support/RegistryFixture.h"
#include "test_support/TestMachine.h"
#include "test_support/WizardHarness.h"

using namespace TestSupport;

namespace {

constexpr DWORD kTimeoutMs = 90000;
constexpr int kAddressId = 1004;
constexpr int kAdapterListId = 1009;
constexpr int kSnapshotListId = 1030;
constexpr int kAboutCommand = 0x0010;
const char kAddress[] = "192.168.5.20";
const char kGateway[] = "192.168.5.254";
const char kMask[] = "255.255.255.0";
const char kDnsList[] = "203.0.113.53,198.51.100.53";
// The network shell's parameters, with the connection name "區域連線" in Big5: what a
// machine without a readable connection name gets.
const char kFallbackName[] = "\xB0\xCF\xB0\xEC\xB3\x73\xBD\x75";
// Card 1's connection name on today's Windows, and the parameters it gives (UTF-8).
const wchar_t kConnectionName[] = L"乙太網路 2";
const char kNamedConnection[] = "乙太網路 2";

// The three network shell runs that make the typed settings live for the connection
// (its name as the log holds it: UTF-8, or Big5 bytes for the fallback).
std::vector<std::string> ShellRuns(const std::string& connection) {
    const std::string name = "name=\"" + connection + "\"";
    return {"interface ipv4 set address " + name +
                " source=static address=192.168.5.20 mask=255.255.255.0 "
                "gateway=192.168.5.254 gwmetric=1",
            "interface ipv4 set dnsservers " + name +
                " source=static address=203.0.113.53 register=primary validate=no",
            "interface ipv4 add dnsservers " + name + " address=198.51.100.53 index=2 validate=no"};
}

// The parameters of each command line in a stand-in's log lines.
std::vector<std::string> ParametersOf(const std::vector<std::string>& commandLines,
                                      const std::string& program);

// One-entry list as the store writes it: the text and two zero bytes.
RawValue StoreList(const std::string& text) {
    return MultiStringValue({text});
}
// The name servers as the store writes them: the same bytes, typed REG_SZ.
RawValue StoreText(const std::string& text) {
    return BytesValue(REG_SZ, text + std::string(2, '\0'));
}

// The parameters of a command line that starts with the given program (quoted or not).
std::string ParametersAfter(const std::string& commandLine, const std::string& program) {
    size_t at = Lower(commandLine).find(program);
    if (at == std::string::npos) return "(no " + program + " in \"" + commandLine + "\")";
    at += program.size();
    if (at < commandLine.size() && commandLine[at] == '"') ++at;
    if (at < commandLine.size() && commandLine[at] == ' ') ++at;
    return commandLine.substr(at);
}

std::vector<std::string> ParametersOf(const std::vector<std::string>& commandLines,
                                      const std::string& program) {
    std::vector<std::string> parameters;
    for (const std::string& line : commandLines) parameters.push_back(ParametersAfter(line, program));
    return parameters;
}

// What the DHCP client double logs for one notification from the tool.
std::string Notification(const std::string& service) {
    return "server=null adapter=" + service + " new=1 index=0 ip=" + kAddress + " mask=" + kMask +
           " action=0";
}

// Whether the process's token has the privilege enabled.
bool PrivilegeEnabled(HANDLE process, const char* privilege) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
    LUID luid{};
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    bool enabled = false;
    if (LookupPrivilegeValueA(nullptr, privilege, &luid) &&
        GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
            if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart)
                enabled = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
        }
    }
    CloseHandle(token);
    return enabled;
}

// The trees both test machines and a wizard run may change.
std::vector<std::string> AllRoots() {
    std::vector<std::string> roots = WizardMachineRoots(WizardMachine());
    for (const std::string& root : WizardMachineRoots(Windows10Machine())) roots.push_back(root);
    return roots;
}

// The text of the box the wizard shows besides its page (and the closing page), once
// it is there, or nullptr.
HWND WaitForMessageBox(WizardDriver& wizard, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (const HWND window : FindProcessWindows(wizard.Process().Id(), L"Tarvelo ADSL", true))
                if (window != wizard.Page() && GetDlgItem(window, 0xFFFF) != nullptr) box = window;
            return box != nullptr;
        },
        timeoutMs);
    return box;
}

// A message box of the process (a dialog holding the static 0xFFFF) other than `seen`.
HWND WaitForMessageOf(DWORD processId, HWND seen, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (const HWND window : FindProcessWindows(processId, L"Tarvelo ADSL", true))
                if (window != seen && GetDlgItem(window, 0xFFFF) != nullptr) box = window;
            return box != nullptr;
        },
        timeoutMs);
    return box;
}

class ApplyEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { original_ = std::make_unique<Snapshot>(CaptureTrees(AllRoots())); }
    static void TearDownTestSuite() {
        EXPECT_TRUE(RestoreTrees(AllRoots(), *original_));
        original_.reset();
    }

    void SetUp() override {
        // The network shell's connection name must reach it as Big5.
        ASSERT_EQ(GetACP(), 950u);
        ASSERT_TRUE(SeedWizardMachine(m_adapters));
        ASSERT_EQ(EnumeratedServices(), (std::vector<std::string>{Service(1), Service(2)}));
    }

    // The wizard goes before the stage, so no program of it still uses a staged file.
    void TearDown() override {
        m_wizard.reset();
        m_stage.reset();
    }

    void Stage(const WizardStage::Options& options = {}) {
        m_stage.reset();  // puts back what an earlier stage replaced before staging again
        m_stage = std::make_unique<WizardStage>(LogDirectory(), options);
        std::string problem;
        ASSERT_TRUE(m_stage->Ready(&problem)) << problem;
    }

    // Starts the wizard and waits for its page.
    void Start() {
        m_wizard = std::make_unique<WizardDriver>(WizardStage::WizardPath());
        ASSERT_NE(m_wizard->Page(), nullptr) << "the entry page did not show";
    }
    // Types the address and presses Next.
    void TypeAndPressNext() {
        m_wizard->TypeAddress(kAddress);
        ASSERT_TRUE(IsWindowEnabled(m_wizard->Item(IDOK)));
        m_wizard->PressNext();
    }
    void StartAndPressNext() {
        Start();
        TypeAndPressNext();
    }

    static std::string LogDirectory() {
        std::string directory = ArtifactPath("apply-end-to-end");
        CreateDirectoryA(directory.c_str(), nullptr);
        return directory;
    }

    std::string Service(int card) const { return m_adapters[card - 1].service; }
    HWND Item(int id) const { return m_wizard->Item(id); }

    // The registry after the tool alone for the chosen adapter, by its service name as
    // the wizard runs it, with the store's writes to that adapter's keys on top; then
    // the machine is seeded afresh and the stage set again (empty logs, no snapshots).
    Snapshot ExpectedAfterApply(const SeedAdapter& chosen) {
        const std::string tool = WindowsDirectory() + "\\Adapset.exe";
        const ProcessResult run = RunProcess("\"" + tool + "\" " + chosen.service + " " + kAddress + " " +
                                                 kMask + " " + kGateway + " " + kDnsList,
                                             WindowsDirectory(), kTimeoutMs);
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        Snapshot expected = CaptureTrees(WizardMachineRoots(m_adapters));
        std::vector<std::string> keys = {InterfaceKey(InterfaceName(chosen))};
        if (chosen.layout == Layout::Classic) keys.push_back(AdapterTcpipKey(chosen.service));
        for (const std::string& key : keys) {
            for (const auto& [name, value] :
                 {std::pair<std::string, RawValue>{"IPAddress", StoreList(kAddress)},
                  {"SubnetMask", StoreList(kMask)},
                  {"DefaultGateway", StoreList(kGateway)},
                  {"NameServer", StoreText(kDnsList)},
                  {"EnableDHCP", DwordValue(0)}}) {
                const std::string where = key + "|" + name;
                expected.values[Lower(where)] = value;
                expected.spelling[Lower(where)] = where;
            }
        }
        EXPECT_TRUE(SeedWizardMachine(m_adapters));
        Stage();
        return expected;
    }

    // Every key of the test machine holds what the expected snapshot says.
    void ExpectRegistry(const Snapshot& expected) const {
        for (const std::string& difference :
             SnapshotDifferences(expected, CaptureTrees(WizardMachineRoots(m_adapters))))
            ADD_FAILURE() << difference;
    }

    // Finish on the closing page, then the wizard ends after its restart request.
    void FinishAndExpectEnd(HWND closing) const {
        WizardDriver::Click(WizardDriver::FinishButton(closing));
        ASSERT_TRUE(WaitForRecords(*m_stage, &WizardStage::RestartLog, 1, kTimeoutMs))
            << "no restart request";
        DWORD exitCode = ~0u;
        ASSERT_TRUE(m_wizard->Process().WaitForExit(kTimeoutMs, exitCode)) << "the wizard did not end";
        EXPECT_EQ(exitCode, 0u);
    }

    // The Windows 10 laptop, seeded: 乙太網路, Wi-Fi, 藍牙網路連線 and the hidden
    // kernel debugger's adapter.
    void SeedLaptop() {
        m_adapters = Windows10Machine();
        ASSERT_TRUE(SeedWizardMachine(m_adapters));
    }

    // The three network shell runs got the connection name (UTF-8 here), and the one
    // tool run notified the DHCP client for the service; the apply log has one run.
    void ExpectOneRunFor(const SeedAdapter& chosen, const std::string& connectionName) const {
        EXPECT_EQ(ParametersOf(LogLines(m_stage->NetworkShellLog(), "wcmdline="), "netsh.exe"),
                  ShellRuns(connectionName));
        EXPECT_EQ(LogLines(m_stage->DhcpLog(), ""), std::vector<std::string>{Notification(chosen.service)});
        const std::string log = WizardStage::ApplyLog();
        const std::string tool = "run " + WindowsDirectory() + "\\Adapset.exe ";
        const std::string run = tool + chosen.service + " " + kAddress + " ";
        EXPECT_NE(log.find(run), std::string::npos) << log;
        size_t runs = 0;
        for (size_t at = log.find(tool); at != std::string::npos; at = log.find(tool, at + 1)) ++runs;
        EXPECT_EQ(runs, 1u) << log;
    }

    static std::unique_ptr<Snapshot> original_;
    std::vector<SeedAdapter> m_adapters = WizardMachine();
    std::unique_ptr<WizardStage> m_stage;
    std::unique_ptr<WizardDriver> m_wizard;
};

std::unique_ptr<Snapshot> ApplyEndToEnd::original_;

TEST_F(ApplyEndToEnd, NextAppliesTheAddressShowsTheClosingPageAndFinishRestartsAndEnds) {
    // Card 1 as today's Windows has it: on DHCP, with a connection name of its own.
    m_adapters[0].dhcpEnabled = true;
    m_adapters[0].connectionName = kConnectionName;
    ASSERT_TRUE(SeedWizardMachine(m_adapters));
    Stage();
    const Snapshot expected = ExpectedAfterApply(m_adapters[0]);
    const Snapshot before = CaptureTrees(WizardMachineRoots(m_adapters));

    // Neither card is known to be physical: the first one is chosen.
    Start();
    EXPECT_EQ(SendMessageW(Item(kAdapterListId), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(m_wizard->ChosenAdapter(), std::wstring(kConnectionName) + L" (PCI Fast Ethernet Adapter)");
    TypeAndPressNext();
    const HWND closing = m_wizard->WaitForClosingPage(kTimeoutMs);
    ASSERT_NE(closing, nullptr) << "the closing page did not show";

    // The network shell: three runs, given the card's connection name as Unicode, in
    // the system directory.
    const std::string shellLog = m_stage->NetworkShellLog();
    EXPECT_EQ(ParametersOf(LogLines(shellLog, "wcmdline="), "netsh.exe"), ShellRuns(kNamedConnection))
        << shellLog;
    EXPECT_EQ(LogLines(shellLog, "cwd="), std::vector<std::string>(3, WindowsDirectory() + "\\system32"));

    // The tool: card 1 alone configured and notified, by its service name.
    EXPECT_EQ(LogLines(m_stage->DhcpLog(), ""), std::vector<std::string>{Notification(Service(1))});

    // The store's writes came after the tool's: both keys of network card 1 end with
    // the store's bytes, DHCP off, and nothing else differs from the tool's own result:
    // card 2 keeps every byte.
    for (const std::string& key : {AdapterTcpipKey(Service(1)), InterfaceKey(Service(1))}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, key, "IPAddress"), StoreList(kAddress));
        EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, key, "SubnetMask"), StoreList(kMask));
        EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, key, "DefaultGateway"), StoreList(kGateway));
        EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, key, "NameServer"), StoreText(kDnsList));
        EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, key, "EnableDHCP"), DwordValue(0));
    }
    ExpectRegistry(expected);

    // The closing page (template 103); the note window has gone.
    EXPECT_EQ(WindowTextW(closing), L"Tarvelo ADSL");
    EXPECT_TRUE(m_wizard->NoteWindows().empty());
    EXPECT_EQ(WindowTextW(WizardDriver::FinishButton(closing)), L"完成");
    const std::vector<std::wstring> statics = ChildTexts(closing, L"Static");
    for (const wchar_t* text : {L"固定IP讓您的連線位址永遠不變", L"設定完成後請重新開機",
                                L"感謝您成為Tarvelo ADSL 會員!!", L"您已經完成固定IP ADSL上網相關設定",
                                L"請按下完成，電腦重新開機後您就可開始享受", L"Tarvelo ADSL飆網的速度了"})
        EXPECT_NE(std::find(statics.begin(), statics.end(), text), statics.end()) << "missing static text";
    EXPECT_TRUE(SaveScreenshot(closing, ArtifactPath("wizard-finish-page.bmp")));

    // Finish: the shutdown privilege is enabled and a restart (not forced) is requested.
    EXPECT_FALSE(PrivilegeEnabled(m_wizard->Process().Handle(), "SeShutdownPrivilege"));
    WizardDriver::Click(WizardDriver::FinishButton(closing));
    ASSERT_TRUE(WaitForRecords(*m_stage, &WizardStage::RestartLog, 1, kTimeoutMs)) << "no restart request";
    const auto restarts = LogLines(m_stage->RestartLog(), "cmdline=");
    ASSERT_EQ(restarts.size(), 1u);
    EXPECT_EQ(ParametersAfter(restarts[0], "wineboot.exe"), "--end-session");
    EXPECT_TRUE(PrivilegeEnabled(m_wizard->Process().Handle(), "SeShutdownPrivilege"));
    // The stand-in caught the restart, so the wizard ends on its own, without a message.
    DWORD exitCode = ~0u;
    ASSERT_TRUE(m_wizard->Process().WaitForExit(kTimeoutMs, exitCode)) << "the wizard did not end";
    EXPECT_EQ(exitCode, 0u);

    // The apply log names the address, every program with its status, every write and
    // the restart.
    const std::string log = WizardStage::ApplyLog();
    for (const std::string& line :
         {std::string("apply started"), std::string("address ") + kAddress + ", gateway " + kGateway,
          "run " + WindowsDirectory() + "\\system32\\netsh.exe " + ShellRuns(kNamedConnection)[0] + " (in " +
              WindowsDirectory() + "\\system32): exit status 0",
          std::string("store EnableDHCP 0: ok"), std::string("restart requested")})
        EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line << "\n" << log;
    EXPECT_NE(log.find("run " + WindowsDirectory() + "\\Adapset.exe " + Service(1) + " " + kAddress),
              std::string::npos)
        << log;

    // One snapshot, saved before the network shell ran (the log's order) and kept as the
    // adapter's original, and the tool's own.
    const std::vector<std::string> saved = FolderFileNames(m_stage->BackupFolder());
    EXPECT_EQ(saved.size(), 2u);  // the wizard's and the tool's
    const auto wizardSnapshot = std::find_if(saved.begin(), saved.end(), [&](const std::string& name) {
        return std::regex_match(name,
                                std::regex(R"(\d{8}-\d{6}-TarveloIP-\)" + Service(1) + R"(-original\.reg)"));
    });
    ASSERT_NE(wizardSnapshot, saved.end());
    EXPECT_LT(log.find("snapshot saved: " + m_stage->BackupFolder() + "\\" + *wizardSnapshot),
              log.find("\\netsh.exe "));
    // The ProgramData variable pointed elsewhere; the snapshots are in the machine's folder.
    EXPECT_EQ(m_stage->SteeredBackupFiles(), std::vector<std::string>());
    // An older one of the wizard's (by its write time) that is not a snapshot at all.
    const HANDLE older = CreateFileA((m_stage->BackupFolder() + "\\20200101-000000-TarveloIP.reg").c_str(),
                                     GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    const FILETIME in2020{0x8A0C0000u, 0x01D5C03Au};  // 2020-01-01
    SetFileTime(older, nullptr, nullptr, &in2020);
    CloseHandle(older);

    // /restore lists them newest first, the newest chosen; the original is put back.
    GuiProcess restore(WizardStage::WizardPath(), "", "/restore");
    const HWND page = WaitForWindow(restore.Id(), L"Tarvelo ADSL", kTimeoutMs);
    ASSERT_NE(page, nullptr) << "no restore page";
    const HWND list = GetDlgItem(page, kSnapshotListId);
    ASSERT_NE(list, nullptr);
    std::vector<std::wstring> lines;
    for (LRESULT i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
        std::wstring line(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        lines.push_back(line.substr(line.find(L'\t')));  // without the time
    }
    const std::wstring adapter = std::wstring(L"\t") + kConnectionName;
    EXPECT_EQ(lines,
              (std::vector<std::wstring>{adapter + L"\t自動取得 (DHCP)",
                                         adapter + L"\t自動取得 (DHCP)\t最初的設定", L"\t\t無法讀取"}));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(SaveScreenshot(page, ArtifactPath("wizard-restore-page.bmp")));
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    WizardDriver::Click(GetDlgItem(page, IDOK));
    const HWND box = WaitForMessageOf(restore.Id(), nullptr, kTimeoutMs);
    ASSERT_NE(box, nullptr) << "no message after the restore";
    const std::wstring text = WindowTextW(GetDlgItem(box, 0xFFFF));
    EXPECT_NE(text.find(L"已還原先前的網路設定"), std::wstring::npos);
    EXPECT_NE(text.find(std::wstring(L" ") + kConnectionName + L" 自動取得 (DHCP) 最初的設定\n"),
              std::wstring::npos)
        << text.size();
    EXPECT_EQ(text.find(L"\\"), std::wstring::npos);  // no file path
    EXPECT_NE(text.find(L"要立即重新開機嗎"), std::wstring::npos);
    Sleep(500);  // painted
    EXPECT_TRUE(SaveScreenshot(box, ArtifactPath("wizard-restored.bmp")));
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitForRecords(*m_stage, &WizardStage::RestartLog, 2, kTimeoutMs)) << "no restart request";
    ASSERT_TRUE(restore.WaitForExit(kTimeoutMs, exitCode)) << "/restore did not end";
    EXPECT_EQ(exitCode, 0u);
    ExpectRegistry(before);

    // The restore saved what it overwrote: /restore newest puts the applied settings
    // back, /restore original those from before the wizard, without the list.
    for (const char* which : {"newest", "original"}) {
        SCOPED_TRACE(which);
        GuiProcess direct(WizardStage::WizardPath(), "", std::string("/restore ") + which);
        const HWND message = WaitForMessageOf(direct.Id(), nullptr, kTimeoutMs);
        ASSERT_NE(message, nullptr) << "no message";
        EXPECT_EQ(FindProcessWindows(direct.Id(), L"Tarvelo ADSL", false).size(), 1u) << "a page besides it";
        PostMessageW(message, WM_COMMAND, IDNO, 0);
        ASSERT_TRUE(direct.WaitForExit(kTimeoutMs, exitCode));
        EXPECT_EQ(exitCode, 0u);
        ExpectRegistry(std::string(which) == "newest" ? expected : before);
    }
}

// An apply cut off midway (the process ended while the tool runs) leaves its record; the
// next start says so first and, on Yes, puts back the settings from before it.
TEST_F(ApplyEndToEnd, AnApplyCutOffMidwayIsFoundAtTheNextStart) {
    WizardStage::Options options;
    options.tool = WizardStage::Tool::Sleeper;
    options.sleepMs = 20000;
    Stage(options);
    const Snapshot before = CaptureTrees(WizardMachineRoots(m_adapters));
    StartAndPressNext();
    ASSERT_TRUE(WaitForRecords(*m_stage, &WizardStage::SleeperLog, 1, kTimeoutMs))
        << "the tool did not start";
    // Changed by hand while the tool runs, as the network shell would have.
    WriteRawValue(HKEY_LOCAL_MACHINE, InterfaceKey(Service(1)), "IPAddress", StoreList("10.9.9.9"));
    TerminateProcess(m_wizard->Process().Handle(), 9);
    DWORD exitCode = ~0u;
    ASSERT_TRUE(m_wizard->Process().WaitForExit(kTimeoutMs, exitCode));
    const std::string record = m_stage->BackupFolder() + "\\..\\unfinished-TarveloIP.txt";
    EXPECT_NE(GetFileAttributesA(record.c_str()), INVALID_FILE_ATTRIBUTES);

    GuiProcess next(WizardStage::WizardPath());
    const HWND question = WaitForWindow(next.Id(), L"Tarvelo ADSL", kTimeoutMs);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(WindowTextW(GetDlgItem(question, 0xFFFF)).find(L"上一次的網路設定沒有完成"),
              std::wstring::npos);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitForWindowGone(question, kTimeoutMs));
    const HWND restored = WaitForMessageOf(next.Id(), question, kTimeoutMs);
    ASSERT_NE(restored, nullptr) << "no message after the restore";
    EXPECT_NE(WindowTextW(GetDlgItem(restored, 0xFFFF)).find(L"已還原先前的網路設定"), std::wstring::npos);
    PostMessageW(restored, WM_COMMAND, IDNO, 0);
    ExpectRegistry(before);
    EXPECT_EQ(GetFileAttributesA(record.c_str()), INVALID_FILE_ATTRIBUTES);
    // Then the entry page, as any start.
    HWND entry = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            entry = WaitForWindow(next.Id(), L"Tarvelo ADSL", 500);
            return entry != nullptr && GetDlgItem(entry, kAddressId) != nullptr;
        },
        kTimeoutMs));
    PostMessageW(entry, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(next.WaitForExit(kTimeoutMs, exitCode));
}

TEST_F(ApplyEndToEnd, UnsavedSnapshotChangesNothingAndSaysSo) {
    Stage();
    // A file where the backup folder's parent should be.
    const std::string blocker = m_stage->BackupFolder().substr(0, m_stage->BackupFolder().rfind('\\'));
    CloseHandle(CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const Snapshot before = CaptureTrees(WizardMachineRoots(m_adapters));
    StartAndPressNext();
    HWND message = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const HWND window : FindProcessWindows(m_wizard->Process().Id(), L"Tarvelo ADSL", true))
                if (window != m_wizard->Page()) message = window;
            return message != nullptr;
        },
        kTimeoutMs))
        << "no message";
    EXPECT_NE(WindowTextW(GetDlgItem(message, 0xFFFF)).find(L"無法先儲存目前的網路設定"), std::wstring::npos);
    EXPECT_TRUE(SaveScreenshot(message, ArtifactPath("wizard-snapshot-failed.bmp")));
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForWindowGone(message, kTimeoutMs));
    // The page as it was before Next; the user leaves it with Exit.
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Item(IDOK)) != FALSE; }, kTimeoutMs));
    m_wizard->PressExit();
    DWORD exitCode = ~0u;
    ASSERT_TRUE(m_wizard->Process().WaitForExit(kTimeoutMs, exitCode)) << "the wizard did not end";
    EXPECT_EQ(m_stage->NetworkShellLog(), "");
    EXPECT_EQ(m_stage->DhcpLog(), "");
    for (const std::string& difference :
         SnapshotDifferences(before, CaptureTrees(WizardMachineRoots(m_adapters))))
        ADD_FAILURE() << difference;
}

TEST_F(ApplyEndToEnd, FailedRestartRequestAsksForARestartByHandThenEnds) {
    WizardStage::Options failingSessionEnd;
    failingSessionEnd.sessionEndStarts = false;  // Wine then reports the restart request as failed
    Stage(failingSessionEnd);
    StartAndPressNext();
    const HWND closing = m_wizard->WaitForClosingPage(kTimeoutMs);
    ASSERT_NE(closing, nullptr) << "the closing page did not show";
    WizardDriver::Click(WizardDriver::FinishButton(closing));

    // One message box, captioned like the pages, owned by the entry page.
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const HWND window : FindProcessWindows(m_wizard->Process().Id(), L"Tarvelo ADSL", true))
                if (window != m_wizard->Page() && window != closing) box = window;
            return box != nullptr;
        },
        kTimeoutMs))
        << "no message after the failed restart request";
    EXPECT_EQ(GetWindow(box, GW_OWNER), m_wizard->Page());
    EXPECT_NE(WindowTextW(GetDlgItem(box, 0xFFFF)).find(L"手動重新啟動電腦"), std::wstring::npos);
    EXPECT_TRUE(SaveScreenshot(box, ArtifactPath("wizard-restart-by-hand.bmp")));

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD exitCode = ~0u;
    ASSERT_TRUE(m_wizard->Process().WaitForExit(kTimeoutMs, exitCode)) << "the wizard did not end";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_NE(WizardStage::ApplyLog().find("restart request failed: error "), std::string::npos);
}

// The store fails after the network shell and the tool ran: everything is put back by
// itself before the user is told, so the machine ends as it was, byte for byte, and the
// page comes back usable.
TEST_F(ApplyEndToEnd, StoreFailingAfterTheShellAndTheToolPutsEverythingBack) {
    RemoveTree(kDhcpService);  // the store cannot open its DHCP service key
    Stage();
    const Snapshot before = CaptureTrees(WizardMachineRoots(m_adapters));
    StartAndPressNext();
    const HWND box = WaitForMessageBox(*m_wizard, kTimeoutMs);
    ASSERT_NE(box, nullptr) << "no message";
    // Card 1 has no connection name: its description names it.
    const std::wstring text = WindowTextW(GetDlgItem(box, 0xFFFF));
    EXPECT_NE(text.find(L"無法開啟網路卡「PCI Fast Ethernet Adapter」的TCP/IP設定"), std::wstring::npos);
    EXPECT_NE(text.find(L"先前的設定已全部放回，電腦維持設定前的狀態。"), std::wstring::npos);
    EXPECT_EQ(GetWindow(box, GW_OWNER), m_wizard->Page());
    EXPECT_TRUE(SaveScreenshot(box, ArtifactPath("wizard-store-failed.bmp")));

    // The programs ran, then the store found nothing to open; the way back put the
    // snapshot back, the connection back to its earlier static address and the snapshot
    // once more. Without a connection name the network shell got the fixed one, byte for
    // byte.
    const std::vector<std::string> shell =
        ParametersOf(LogLines(m_stage->NetworkShellLog(), "cmdline="), "netsh.exe");
    ASSERT_GE(shell.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(shell.begin(), shell.begin() + 3), ShellRuns(kFallbackName));
    EXPECT_EQ(shell[3].rfind(std::string("interface ipv4 set address name=\"") + kFallbackName + "\"", 0), 0u)
        << shell[3];
    EXPECT_EQ(LogLines(m_stage->DhcpLog(), "").size(), 1u);
    for (const std::string& difference :
         SnapshotDifferences(before, CaptureTrees(WizardMachineRoots(m_adapters))))
        ADD_FAILURE() << "after putting back: " << difference;
    EXPECT_TRUE(m_wizard->NoteWindows().empty());
    const std::string log = WizardStage::ApplyLog();
    for (const std::string line :
         {"store open: failed", "apply failed: putting the earlier settings back",
          "snapshot put back after the network shell: ok", "earlier settings put back"})
        EXPECT_NE(log.find(line + std::string("\r\n")), std::string::npos) << line << "\n" << log;

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForWindowGone(box, kTimeoutMs));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Item(IDOK)) != FALSE; }, kTimeoutMs));
    EXPECT_TRUE(IsWindowEnabled(Item(IDCANCEL)));
    EXPECT_EQ(m_wizard->ClosingPage(), nullptr);
    EXPECT_EQ(RecordCount(m_stage->RestartLog()), 0u);

    m_wizard->PressExit();
    DWORD exitCode = ~0u;
    ASSERT_TRUE(m_wizard->Process().WaitForExit(kTimeoutMs, exitCode)) << "the wizard did not end";
    EXPECT_EQ(exitCode, 0u);
}

// The network shell refuses the address: nothing else runs, everything goes back, and
// the message names the shell's status.
TEST_F(ApplyEndToEnd, NetworkShellRefusingTheAddressPutsEverythingBack) {
    WizardStage::Options refusing;
    refusing.networkShellFails = "source=static address=192.168.5.20";
    Stage(refusing);
    const Snapshot before = CaptureTrees(WizardMachineRoots(m_adapters));
    StartAndPressNext();
    const HWND box = WaitForMessageBox(*m_wizard, kTimeoutMs);
    ASSERT_NE(box, nullptr) << "no message";
    const std::wstring text = WindowTextW(GetDlgItem(box, 0xFFFF));
    EXPECT_NE(text.find(L"netsh 執行失敗（結束代碼 1）"), std::wstring::npos);
    EXPECT_NE(text.find(L"先前的設定已全部放回"), std::wstring::npos);
    EXPECT_EQ(m_stage->DhcpLog(), "") << "the tool ran";
    for (const std::string& difference :
         SnapshotDifferences(before, CaptureTrees(WizardMachineRoots(m_adapters))))
        ADD_FAILURE() << "after putting back: " << difference;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Item(IDOK)) != FALSE; }, kTimeoutMs));
    EXPECT_EQ(m_wizard->ClosingPage(), nullptr);
    m_wizard->PressExit();
    DWORD exitCode = ~0u;
    ASSERT_TRUE(m_wizard->Process().WaitForExit(kTimeoutMs, exitCode)) << "the wizard did not end";
}

// A Windows without validate=no: each DNS command is run once more without it, and the
// apply goes on to the closing page.
TEST_F(ApplyEndToEnd, DnsCommandsRefusedWithValidationAreRunAgainWithoutIt) {
    WizardStage::Options older;
    older.networkShellFails = "validate=no";
    Stage(older);
    StartAndPressNext();
    const HWND closing = m_wizard->WaitForClosingPage(kTimeoutMs);
    ASSERT_NE(closing, nullptr) << "the closing page did not show";
    const std::vector<std::string> runs = ShellRuns(kFallbackName);
    const std::string plain = " validate=no";
    EXPECT_EQ(ParametersOf(LogLines(m_stage->NetworkShellLog(), "cmdline="), "netsh.exe"),
              (std::vector<std::string>{runs[0], runs[1], runs[1].substr(0, runs[1].size() - plain.size()),
                                        runs[2], runs[2].substr(0, runs[2].size() - plain.size())}));
    FinishAndExpectEnd(closing);
}

// The laptop of today's Windows: NetworkCards 2, 3 and 15 (no 1), no per-service keys,
// every adapter on DHCP. The page preselects the wired adapter, and Next configures it
// alone: the network shell gets 乙太網路, the tool runs once by its service name, and
// Wi-Fi, the Bluetooth network and the hidden kernel debugger keep every byte.
TEST_F(ApplyEndToEnd, OnAWindows10LaptopTheWiredAdapterAloneIsConfigured) {
    SeedLaptop();
    Stage();
    const Snapshot expected = ExpectedAfterApply(m_adapters[0]);

    Start();
    // Under Wine the IP Helper does not know the seeded adapters: no state is shown. The
    // list is in the registry's order (15, 2, 3), the wired adapter preselected.
    const HWND list = Item(kAdapterListId);
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(m_wizard->ChosenAdapter(), L"乙太網路 (PCIe GbE Family Controller)");
    EXPECT_TRUE(SaveScreenshot(m_wizard->Page(), ArtifactPath("wizard-page-windows10-laptop.bmp")));
    TypeAndPressNext();
    const HWND closing = m_wizard->WaitForClosingPage(kTimeoutMs);
    ASSERT_NE(closing, nullptr) << "the closing page did not show";

    ExpectOneRunFor(m_adapters[0], "乙太網路");
    const std::string key = InterfaceKey(InterfaceName(m_adapters[0]));
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, key, "IPAddress"), StoreList(kAddress));
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, key, "EnableDHCP"), DwordValue(0));
    ExpectRegistry(expected);
    FinishAndExpectEnd(closing);
}

TEST_F(ApplyEndToEnd, ChoosingWiFiConfiguresOnlyWiFi) {
    SeedLaptop();
    Stage();
    const Snapshot expected = ExpectedAfterApply(m_adapters[1]);

    Start();
    ASSERT_TRUE(m_wizard->ChooseAdapter(L"Wi-Fi (Dual Band Wireless-AC Adapter)"));
    TypeAndPressNext();
    const HWND closing = m_wizard->WaitForClosingPage(kTimeoutMs);
    ASSERT_NE(closing, nullptr) << "the closing page did not show";

    ExpectOneRunFor(m_adapters[1], "Wi-Fi");
    ExpectRegistry(expected);
    FinishAndExpectEnd(closing);
}

// The chosen adapter's interface key is missing (and Windows 10 has no per-service
// key): the tool finds no adapter and fails, the user is told so by name, with what
// could not be put back, and keeps a usable page; no closing page, nothing changed.
TEST_F(ApplyEndToEnd, ChosenAdapterWithoutItsInterfaceKeyGivesTheMessageAndNoClosingPage) {
    SeedLaptop();
    RemoveTree(InterfaceKey(InterfaceName(m_adapters[0])));
    Stage();
    const Snapshot before = CaptureTrees(WizardMachineRoots(m_adapters));
    StartAndPressNext();
    const HWND box = WaitForMessageBox(*m_wizard, kTimeoutMs);
    ASSERT_NE(box, nullptr) << "no message";
    EXPECT_EQ(FindProcessWindows(m_wizard->Process().Id(), L"Tarvelo ADSL", true).size(), 2u);
    const std::wstring text = WindowTextW(GetDlgItem(box, 0xFFFF));
    EXPECT_NE(text.find(L"設定網路卡「乙太網路」時，Adapset 執行失敗（結束代碼 "), std::wstring::npos);
    // The snapshot holds no key of the adapter (no interface key, no per-service key), so
    // it cannot be restored: the message says so, and how to finish by hand, instead of
    // claiming the machine is as it was. Nothing was written (the tool found no adapter).
    EXPECT_NE(text.find(L"先前的設定無法放回"), std::wstring::npos);
    EXPECT_NE(text.find(L"復原先前的網路設定"), std::wstring::npos);
    EXPECT_TRUE(SaveScreenshot(box, ArtifactPath("wizard-tool-failed.bmp")));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForWindowGone(box, kTimeoutMs));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Item(IDOK)) != FALSE; }, kTimeoutMs));
    EXPECT_TRUE(IsWindowEnabled(Item(IDCANCEL)));
    EXPECT_TRUE(IsWindowEnabled(Item(kAdapterListId)));
    EXPECT_EQ(m_wizard->ClosingPage(), nullptr);
    EXPECT_EQ(m_stage->DhcpLog(), "");
    ExpectRegistry(before);
    m_wizard->PressExit();
    DWORD exitCode = ~0u;
    ASSERT_TRUE(m_wizard->Process().WaitForExit(kTimeoutMs, exitCode)) << "the wizard did not end";
}

TEST_F(ApplyEndToEnd, PageKeepsWorkingWhileAChildSleepsAndNextCannotStartTwice) {
    WizardStage::Options slowTool;
    slowTool.tool = WizardStage::Tool::Sleeper;
    slowTool.sleepMs = 4000;
    Stage(slowTool);
    StartAndPressNext();
    ASSERT_TRUE(WaitForRecords(*m_stage, &WizardStage::SleeperLog, 1, kTimeoutMs))
        << "the tool did not start";
    const HWND page = m_wizard->Page();

    // Locked while the sequence runs.
    EXPECT_FALSE(IsWindowEnabled(Item(kAddressId)));
    EXPECT_FALSE(IsWindowEnabled(Item(kAdapterListId)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDOK)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDCANCEL)));

    // The page answers messages and repaints what was invalidated.
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(page, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0);
    InvalidateRect(page, nullptr, TRUE);
    EXPECT_TRUE(WaitUntil([&] { return GetUpdateRect(page, nullptr, FALSE) == FALSE; }, 2000))
        << "the page was not repainted";

    // A second Next, clicked and queued, does not start the sequence again.
    m_wizard->PressNext();
    PostMessageW(page, WM_COMMAND, IDOK, 0);

    // The About command still shows its note window, which closes again.
    const std::vector<HWND> notesBefore = m_wizard->NoteWindows();
    PostMessageW(page, WM_SYSCOMMAND, kAboutCommand, 0);
    HWND about = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const HWND note : m_wizard->NoteWindows())
                if (std::find(notesBefore.begin(), notesBefore.end(), note) == notesBefore.end())
                    about = note;
            return about != nullptr;
        },
        3000))
        << "the About command did not show its window";
    // All of this happened while the first tool run was still asleep, and the second
    // Next started nothing.
    EXPECT_EQ(RecordCount(m_stage->SleeperLog()), 1u);
    EXPECT_EQ(RecordCount(m_stage->NetworkShellLog()), 3u);
    if (about != nullptr) {
        PostMessageW(about, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitForWindowGone(about, kTimeoutMs));
    }

    ASSERT_NE(m_wizard->WaitForClosingPage(kTimeoutMs), nullptr) << "the closing page did not show";
    EXPECT_EQ(RecordCount(m_stage->NetworkShellLog()), 3u);
    // The one tool run, for card 1's service name, from the Windows directory.
    const std::string toolLog = m_stage->SleeperLog();
    const auto toolCommands = LogLines(toolLog, "cmdline=");
    ASSERT_EQ(toolCommands.size(), 1u) << toolLog;
    EXPECT_EQ(ParametersAfter(toolCommands[0], "adapset.exe"),
              Service(1) + " " + kAddress + " " + kMask + " " + kGateway + " " + kDnsList);
    EXPECT_EQ(LogLines(toolLog, "cwd="), std::vector<std::string>(1, WindowsDirectory()));
}

}  // namespace
