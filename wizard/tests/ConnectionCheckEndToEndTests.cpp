// The real TarveloIP.exe with its real connection checks, in the private network
// namespace with the test modem (scripts/modem.sh: gateway 192.168.5.254 and the DNS
// server 203.0.113.53 answer; nothing else does): the three network shell runs for the
// chosen adapter's connection, the closing page's check lines, Finish, and the way back.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "test_support/PrefixChanges.h"
#include "test_support/RegistryFixture.h"
#include "test_support/TestMachine.h"
#include "test_support/WizardHarness.h"

using namespace TestSupport;

namespace {

constexpr DWORD kTimeoutMs = 90000;
constexpr int kCheckFailedId = 1023;
constexpr int kRestorePreviousId = 1024;
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
    return {"interface ip set address " + name + " source=static addr=" + address +
                " mask=255.255.255.0 gateway=" + gateway + " gwmetric=1",
            "interface ip set dnsservers " + name + " source=static addr=" + kDns +
                " register=primary validate=no",
            "interface ip add dnsservers " + name + " addr=" + kSecondaryDns + " index=2 validate=no"};
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
    EXPECT_TRUE(SaveScreenshot(closing, ArtifactPath("wizard-finish-checks-passed.bmp")));

    WizardDriver::Click(GetDlgItem(closing, IDCANCEL));
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
    EXPECT_TRUE(Shows(closing,
                      L"連線測試沒有通過。您可以按「復原先前的設定」回到設定前的狀態，或按「完成」"
                      L"保留新設定並重新開機。"));
    const HWND restore = GetDlgItem(closing, kRestorePreviousId);
    ASSERT_TRUE(IsWindowVisible(restore));
    EXPECT_EQ(WindowTextW(restore), L"復原先前的設定");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(closing, IDCANCEL)));
    EXPECT_TRUE(SaveScreenshot(closing, ArtifactPath("wizard-finish-checks-failed.bmp")));
    EXPECT_NE(before.values, CaptureTrees(WizardMachineRoots(m_adapters)).values)
        << "the wizard changed nothing";

    WizardDriver::Click(restore);
    EXPECT_EQ(WaitForEnd(), 0u);
    // Back to DHCP for the connection, no restart asked for, every value as before.
    std::vector<std::string> expected = ApplyCommands("192.168.7.20", "192.168.7.254");
    expected.push_back("interface ip set address name=\"乙太網路 2\" source=dhcp");
    expected.push_back("interface ip set dnsservers name=\"乙太網路 2\" source=dhcp");
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
    for (const int id : {1021, 1022, kCheckFailedId, kRestorePreviousId, IDCANCEL}) {
        RECT item{};
        GetWindowRect(GetDlgItem(closing, id), &item);
        EXPECT_TRUE(item.left >= page.left && item.right <= page.right && item.top >= page.top &&
                    item.bottom <= page.bottom)
            << "control " << id << " outside the page";
    }
    EXPECT_TRUE(SaveScreenshot(closing, ArtifactPath("wizard-finish-checks-failed-144dpi.bmp")));
    WizardDriver::Click(GetDlgItem(closing, IDCANCEL));
    EXPECT_EQ(WaitForEnd(), 0u);
}

}  // namespace
