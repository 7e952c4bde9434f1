// The real TarveloIP.exe with its real connection checks, in the private network
// namespace with the test modem (scripts/modem.sh: gateway 192.168.5.254 and the DNS
// server 203.0.113.53 answer, or relay to real DNS server software that refuses or
// fails; nothing else answers): the three network shell runs for the chosen adapter's
// connection, the closing page's check lines, the failed page, Finish, Esc and the close
// box, and the way back.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "test_support/GuiDriver.h"
#include "test_support/PrefixChanges.h"
#include "test_support/RegistryFixture.h"
#include "test_support/TestMachine.h"
#include "test_support/WizardHarness.h"

using namespace TestSupport;

namespace {

constexpr DWORD kTimeoutMs = 90000;
constexpr int kCheckFailedId = 1023;
constexpr int kRestorePreviousId = 1024;
constexpr int kFinishId = 1025;
constexpr int kSuccessTextIds[] = {1026, 1027, 1028};
constexpr int kCheckAdviceId = 1029;
const char kDns[] = "203.0.113.53";
const char kSecondaryDns[] = "198.51.100.53";

// The network shell's parameters in each of its command lines (UTF-8).
std::vector<std::string> ShellParameters(const WizardStage& stage) {
    std::vector<std::string> parameters;
    for (const std::string& line : LogLines(stage.NetworkShellLog(), "wcmdline=")) {
        const size_t at = Lower(line).find("netsh.exe");
        std::string rest = at == std::string::npos ? line : line.substr(at + 9);
        if (!rest.empty() && rest[0] == '"') rest.erase(0, 1);
        if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
        parameters.push_back(rest);
    }
    return parameters;
}

std::vector<std::string> ApplyCommands(const std::string& address, const std::string& gateway) {
    const std::string name = "name=\"乙太網路 2\"";
    return {"interface ipv4 set address " + name + " source=static address=" + address +
                " mask=255.255.255.0 gateway=" + gateway + " gwmetric=1",
            "interface ipv4 set dnsservers " + name + " source=static address=" + kDns +
                " register=primary validate=no",
            "interface ipv4 add dnsservers " + name + " address=" + kSecondaryDns + " index=2 validate=no"};
}

bool Shows(HWND page, const std::wstring& text) {
    const std::vector<std::wstring> statics = ChildTexts(page, L"Static");
    return std::find(statics.begin(), statics.end(), text) != statics.end();
}

class ConnectionCheckEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        original_ = std::make_unique<Snapshot>(CaptureTrees(WizardMachineRoots(WizardMachine())));
    }
    static void TearDownTestSuite() {
        EXPECT_TRUE(RestoreTrees(WizardMachineRoots(WizardMachine()), *original_));
        original_.reset();
    }
    void SetUp() override {
        // Card 1 as today's Windows has it: on DHCP, with a connection name of its own.
        m_adapters[0].dhcpEnabled = true;
        m_adapters[0].connectionName = L"乙太網路 2";
        ASSERT_TRUE(SeedWizardMachine(m_adapters));
        std::string directory = ArtifactPath("connection-check");
        CreateDirectoryA(directory.c_str(), nullptr);
        m_stage = std::make_unique<WizardStage>(directory, WizardStage::Options{});
        std::string problem;
        ASSERT_TRUE(m_stage->Ready(&problem)) << problem;
    }
    void TearDown() override {
        m_wizard.reset();
        m_stage.reset();
    }
    // Starts the wizard, types the address, presses Next and waits for the closing page.
    HWND ApplyAndWaitForClosingPage(const std::string& address) {
        m_wizard = std::make_unique<WizardDriver>(WizardStage::WizardPath());
        if (m_wizard->Page() == nullptr) return nullptr;
        m_wizard->TypeAddress(address);
        m_wizard->PressNext();
        return m_wizard->WaitForClosingPage(kTimeoutMs);
    }
    // The failed page: the success sentences gone, what failed and what to check, and the
    // way back as the default button with the focus.
    static void ExpectFailedPage(HWND closing) {
        for (const int id : kSuccessTextIds) EXPECT_FALSE(IsWindowVisible(GetDlgItem(closing, id))) << id;
        for (const wchar_t* text :
             {L"您已經完成固定IP ADSL上網相關設定", L"請按下完成，電腦重新開機後您就可開始享受"})
            EXPECT_FALSE(IsWindowVisible(FindWindowExW(closing, nullptr, L"Static", text)));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(closing, kCheckFailedId)));
        const std::wstring failed = WindowTextW(GetDlgItem(closing, kCheckFailedId));
        for (const wchar_t* part : {L"連線測試沒有通過", L"數據機的電源", L"LAN插孔", L"通知書"})
            EXPECT_NE(failed.find(part), std::wstring::npos) << "a part of the text is missing";
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(closing, kCheckAdviceId)));
        const HWND restore = GetDlgItem(closing, kRestorePreviousId);
        ASSERT_TRUE(IsWindowVisible(restore));
        EXPECT_EQ(WindowTextW(restore), L"復原先前的設定");
        EXPECT_EQ(LOWORD(SendMessageW(closing, DM_GETDEFID, 0, 0)), kRestorePreviousId);
        EXPECT_EQ(FocusedWindow(closing), restore);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(closing, kFinishId)));
    }
    // The closing page ended without Finish: the wizard ends by itself, no restart is
    // requested and the new settings stay.
    void ExpectEndWithoutRestartKeepingTheSettings() {
        EXPECT_EQ(WaitForEnd(), 0u);
        EXPECT_EQ(RecordCount(m_stage->RestartLog()), 0u);
        EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, InterfaceKey(m_adapters[0].service), "IPAddress"),
                  MultiStringValue({"192.168.5.20"}));
        const std::string log = WizardStage::ApplyLog();
        EXPECT_NE(log.find("closing page closed: new settings kept, no restart requested\r\n"),
                  std::string::npos)
            << log;
    }
    DWORD WaitForEnd() {
        DWORD exitCode = ~0u;
        EXPECT_TRUE(m_wizard->Process().WaitForExit(kTimeoutMs, exitCode)) << "the wizard did not end";
        return exitCode;
    }

    static std::unique_ptr<Snapshot> original_;
    std::vector<SeedAdapter> m_adapters = WizardMachine();
    std::unique_ptr<WizardStage> m_stage;
    std::unique_ptr<WizardDriver> m_wizard;
};

std::unique_ptr<Snapshot> ConnectionCheckEndToEnd::original_;

TEST_F(ConnectionCheckEndToEnd, ModemAnsweringShowsBothAnswersAndFinishRestarts) {
    const HWND closing = ApplyAndWaitForClosingPage("192.168.5.20");
    ASSERT_NE(closing, nullptr) << "the closing page did not show";
    EXPECT_EQ(ShellParameters(*m_stage), ApplyCommands("192.168.5.20", "192.168.5.254"));
    EXPECT_EQ(LogLines(m_stage->NetworkShellLog(), "cwd="), std::vector<std::string>(3, SystemDirectory()));
    EXPECT_TRUE(Shows(closing, L"閘道 192.168.5.254 有回應"));
    EXPECT_TRUE(Shows(closing, L"DNS 伺服器 203.0.113.53 有回應"));
    // As today: no way back offered.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(closing, kRestorePreviousId)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(closing, kCheckFailedId)));
    for (const int id : kSuccessTextIds) EXPECT_TRUE(IsWindowVisible(GetDlgItem(closing, id))) << id;
    EXPECT_EQ(LOWORD(SendMessageW(closing, DM_GETDEFID, 0, 0)), kFinishId);
    EXPECT_TRUE(SaveScreenshot(closing, ArtifactPath("wizard-finish-checks-passed.bmp")));

    WizardDriver::Click(GetDlgItem(closing, kFinishId));
    EXPECT_TRUE(WaitForRecords(*m_stage, &WizardStage::RestartLog, 1, kTimeoutMs)) << "no restart request";
    EXPECT_EQ(WaitForEnd(), 0u);
    const std::string log = WizardStage::ApplyLog();
    for (const std::string line :
         {"check gateway 192.168.5.254: answered", "check DNS server 203.0.113.53: answered"})
        EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line << "\n" << log;
}

// 192.168.7.254 is nobody in the namespace: the gateway stays silent while the DNS
// server answers. The way back then gives every value back and ends without a restart.
TEST_F(ConnectionCheckEndToEnd, SilentGatewayOffersTheWayBackWhichPutsEverythingBack) {
    const Snapshot before = CaptureTrees(WizardMachineRoots(m_adapters));
    const HWND closing = ApplyAndWaitForClosingPage("192.168.7.20");
    ASSERT_NE(closing, nullptr) << "the closing page did not show";
    EXPECT_TRUE(Shows(closing, L"閘道 192.168.7.254 沒有回應"));
    EXPECT_TRUE(Shows(closing, L"DNS 伺服器 203.0.113.53 有回應"));
    ExpectFailedPage(closing);
    const HWND restore = GetDlgItem(closing, kRestorePreviousId);
    EXPECT_TRUE(SaveScreenshot(closing, ArtifactPath("wizard-finish-checks-failed.bmp")));
    EXPECT_NE(before.values, CaptureTrees(WizardMachineRoots(m_adapters)).values)
        << "the wizard changed nothing";

    WizardDriver::Click(restore);
    // One message says what was put back and that no restart is needed.
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const HWND window : FindProcessWindows(m_wizard->Process().Id(), L"Tarvelo ADSL", true))
                if (GetDlgItem(window, 0xFFFF) != nullptr) box = window;
            return box != nullptr;
        },
        kTimeoutMs))
        << "no message after the way back";
    EXPECT_EQ(WindowTextW(GetDlgItem(box, 0xFFFF)),
              L"已復原網路卡「乙太網路 2」先前的設定：自動取得 (DHCP)。不需要重新開機。");
    EXPECT_TRUE(SaveScreenshot(box, ArtifactPath("wizard-way-back-done.bmp")));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForEnd(), 0u);
    // Back to DHCP for the connection, no restart asked for, every value as before.
    std::vector<std::string> expected = ApplyCommands("192.168.7.20", "192.168.7.254");
    expected.push_back("interface ipv4 set address name=\"乙太網路 2\" source=dhcp");
    expected.push_back("interface ipv4 set dnsservers name=\"乙太網路 2\" source=dhcp");
    EXPECT_EQ(ShellParameters(*m_stage), expected);
    EXPECT_EQ(RecordCount(m_stage->RestartLog()), 0u);
    for (const std::string& difference :
         SnapshotDifferences(before, CaptureTrees(WizardMachineRoots(m_adapters))))
        ADD_FAILURE() << "after the way back: " << difference;
    const std::string log = WizardStage::ApplyLog();
    for (const std::string line :
         {"check gateway 192.168.7.254: no answer", "check DNS server 203.0.113.53: answered",
          "ended after restoring the earlier settings: no restart requested"})
        EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line << "\n" << log;
}

// The failing page at 144 DPI: every line inside the page, the note and the button
// readable (the screenshot is looked at).
TEST_F(ConnectionCheckEndToEnd, FailedChecksPageAt144Dpi) {
    const ScopedScreenDpi dpi(144);
    const HWND closing = ApplyAndWaitForClosingPage("192.168.7.20");
    ASSERT_NE(closing, nullptr) << "the closing page did not show";
    RECT page{};
    GetClientRect(closing, &page);
    MapWindowPoints(closing, nullptr, reinterpret_cast<POINT*>(&page), 2);
    for (const int id : {1021, 1022, kCheckFailedId, kCheckAdviceId, kRestorePreviousId, kFinishId}) {
        RECT item{};
        GetWindowRect(GetDlgItem(closing, id), &item);
        EXPECT_TRUE(item.left >= page.left && item.right <= page.right && item.top >= page.top &&
                    item.bottom <= page.bottom)
            << "control " << id << " outside the page";
    }
    EXPECT_TRUE(SaveScreenshot(closing, ArtifactPath("wizard-finish-checks-failed-144dpi.bmp")));
    WizardDriver::Click(GetDlgItem(closing, kFinishId));
    EXPECT_EQ(WaitForEnd(), 0u);
}

// A resolver that refuses (dnsmasq without upstream servers, behind the provider's
// address): the gateway answers, but the check fails with the refusal named. Esc then
// ends the wizard keeping the new settings, without a restart.
TEST_F(ConnectionCheckEndToEnd, RefusingResolverFailsTheCheckAndEscEndsWithoutARestart) {
    const ScopedDnsMode refusing("relay 192.0.2.53");
    const HWND closing = ApplyAndWaitForClosingPage("192.168.5.20");
    ASSERT_NE(closing, nullptr) << "the closing page did not show";
    EXPECT_TRUE(Shows(closing, L"閘道 192.168.5.254 有回應"));
    EXPECT_TRUE(Shows(closing, L"DNS 伺服器 203.0.113.53 拒絕查詢"));
    ExpectFailedPage(closing);
    EXPECT_TRUE(SaveScreenshot(closing, ArtifactPath("wizard-finish-dns-refused.bmp")));
    // Esc, as the dialog manager gets it from the keyboard.
    PostMessageW(FocusedWindow(closing), WM_KEYDOWN, VK_ESCAPE, 0);
    ExpectEndWithoutRestartKeepingTheSettings();
    EXPECT_NE(WizardStage::ApplyLog().find("check DNS server 203.0.113.53: does not resolve (REFUSED)\r\n"),
              std::string::npos);
}

// A resolver that cannot resolve (dnsmasq whose upstream fails): SERVFAIL. The close box
// (and Alt+F4) end the wizard without a restart too.
TEST_F(ConnectionCheckEndToEnd, FailingResolverFailsTheCheckAndTheCloseBoxEndsWithoutARestart) {
    const ScopedDnsMode failing("relay 192.0.2.55");
    const HWND closing = ApplyAndWaitForClosingPage("192.168.5.20");
    ASSERT_NE(closing, nullptr) << "the closing page did not show";
    EXPECT_TRUE(Shows(closing, L"DNS 伺服器 203.0.113.53 無法查詢名稱（伺服器錯誤）"));
    ExpectFailedPage(closing);
    PostMessageW(closing, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectEndWithoutRestartKeepingTheSettings();
}

}  // namespace
