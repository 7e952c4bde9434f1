// Runs the real wizard on a demo laptop as Windows 10 lays it out (wired Ethernet, Wi-Fi
// and a Bluetooth network, in the sandbox Wine prefix that scripts/demo.sh makes) and
// prints each adapter's settings before and after: the wired one changed, the others not. Headless, it types
// the demo address, saves a screenshot of each page and presses Next and Finish; otherwise the user does.
// Either way the restart that Finish asks for is caught by a stand-in and only reported, and the wizard ends
// itself.
//
//   tarvelo_demo --headless OUTPUT_DIRECTORY | --interactive OUTPUT_DIRECTORY
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "test_support/RegistryFixture.h"
#include "test_support/TestMachine.h"
#include "test_support/WizardHarness.h"

using namespace TestSupport;

namespace {

const char kDemoAddress[] = "192.168.5.20";
constexpr DWORD kStepTimeoutMs = 60000;
constexpr DWORD kUserTimeoutMs = 60 * 60 * 1000;

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

const char* const kShownValues[] = {"IPAddress", "SubnetMask", "DefaultGateway", "NameServer", "EnableDHCP"};

// One adapter's shown values, as the registry holds them.
std::string AdapterSettings(const SeedAdapter& adapter) {
    std::string text;
    const std::string key = InterfaceKey(InterfaceName(adapter));
    for (const char* name : kShownValues) {
        const auto value = ReadRawValue(HKEY_LOCAL_MACHINE, key, name);
        char line[512];
        std::snprintf(line, sizeof line, "    %-15s %s\n", name,
                      value ? DescribeValue(*value).c_str() : "(not set: on DHCP)");
        text += line;
    }
    return text;
}

// The settings of the adapters the user can see (those with a network card), each with
// its connection name; after the run, whether they changed.
void PrintSettings(const char* heading, const std::vector<SeedAdapter>& adapters,
                   std::map<std::string, std::string>* before) {
    std::printf("\n%s\n", heading);
    for (const SeedAdapter& adapter : adapters) {
        if (adapter.subkey.empty()) continue;
        const std::string settings = AdapterSettings(adapter);
        const char* change = "";
        if (before->count(adapter.service) != 0)
            change = (*before)[adapter.service] == settings ? "  (unchanged)" : "  (changed)";
        else
            (*before)[adapter.service] = settings;
        std::printf("  %s, card %s%s  HKLM\\%s\n%s", Utf8(adapter.connectionName).c_str(),
                    adapter.subkey.c_str(), change, InterfaceKey(InterfaceName(adapter)).c_str(),
                    settings.c_str());
    }
    std::fflush(stdout);
}

// The restart request the stand-in recorded, or "" when there was none.
std::string RestartRequest(const WizardStage& stage) {
    const std::string log = stage.RestartLog();
    const size_t start = log.find("cmdline=");
    return start == std::string::npos ? std::string()
                                      : log.substr(start + 8, log.find('\n', start) - start - 8);
}

// The stand-in's record without the raw "cmdline=" lines: the working directory and
// the Unicode command line (already UTF-8), for the host's terminal.
std::string PrintableRecord(const std::string& log) {
    std::string printable;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(start, end - start);
        if (line.compare(0, 8, "cmdline=") != 0) printable += "  " + line + "\n";
        start = end + 1;
    }
    return printable;
}

bool Fail(const char* what) {
    std::fprintf(stderr, "demo: %s\n", what);
    return false;
}

bool DriveHeadless(WizardDriver& wizard, const WizardStage& stage, const std::string& output) {
    std::printf("\nThe page shows the adapter it will configure: %s\n", Utf8(wizard.ChosenAdapter()).c_str());
    std::printf("Typing %s and pressing Next ...\n", kDemoAddress);
    wizard.TypeAddress(kDemoAddress);
    Sleep(300);  // let the page paint the derived fields
    if (!SaveScreenshot(wizard.Page(), output + "\\1-entry-page.bmp"))
        return Fail("no screenshot of the entry page");
    wizard.PressNext();
    const HWND closing = wizard.WaitForClosingPage(kStepTimeoutMs);
    if (closing == nullptr) return Fail("the closing page did not show");
    Sleep(300);
    if (!SaveScreenshot(closing, output + "\\2-closing-page.bmp"))
        return Fail("no screenshot of the closing page");
    std::printf("Closing page shown; pressing Finish ...\n");
    WizardDriver::Click(WizardDriver::FinishButton(closing));
    if (!WaitForRecords(stage, &WizardStage::RestartLog, 1, kStepTimeoutMs))
        return Fail("no restart request");
    return true;
}

bool WaitForUser(WizardDriver& wizard, const WizardStage& stage) {
    std::printf("\nThe wizard is on your display: type an address (e.g. %s), press Next, then Finish.\n",
                kDemoAddress);
    std::fflush(stdout);
    const DWORD start = GetTickCount();
    while (!wizard.Process().HasExited() && RecordCount(stage.RestartLog()) == 0) {
        if (GetTickCount() - start >= kUserTimeoutMs) return Fail("no answer within an hour");
        Sleep(200);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::string(argv[1]) != "--headless" && std::string(argv[1]) != "--interactive")) {
        std::fprintf(stderr, "usage: tarvelo_demo --headless|--interactive OUTPUT_DIRECTORY\n");
        return 2;
    }
    const bool headless = std::string(argv[1]) == "--headless";
    const std::string output = argv[2];
    CreateDirectoryA(output.c_str(), nullptr);

    // A laptop as today's Windows has it, every adapter on DHCP: 乙太網路 (card 2),
    // Wi-Fi (card 3), 藍牙網路連線 (card 15), and the hidden kernel debugger's adapter.
    const std::vector<SeedAdapter> adapters = Windows10Machine();
    if (!SeedWizardMachine(adapters)) return Fail("could not seed the demo machine"), 1;
    const WizardStage stage(output, {});
    std::string problem;
    if (!stage.Ready(&problem)) return Fail(problem.c_str()), 1;
    std::printf("Demo machine: a Windows 10 laptop with wired Ethernet, Wi-Fi and a Bluetooth network.\n");
    std::map<std::string, std::string> before;
    PrintSettings("Before:", adapters, &before);

    bool ok = false;
    {
        WizardDriver wizard(WizardStage::WizardPath());
        if (wizard.Page() == nullptr) return Fail("the wizard did not show its page"), 1;
        ok = headless ? DriveHeadless(wizard, stage, output) : WaitForUser(wizard, stage);
        const std::string restart = RestartRequest(stage);
        if (!restart.empty())
            std::printf(
                "Finish asked for a restart (%s); the sandbox's stand-in caught it, and the wizard "
                "ended itself.\n",
                restart.c_str());
        DWORD exitCode = 0;
        if (ok && !wizard.Process().WaitForExit(kStepTimeoutMs, exitCode))
            ok = Fail("the wizard did not end");
    }
    PrintSettings("After:", adapters, &before);
    std::printf("\nNetwork shell (stand-in) run:\n%s", PrintableRecord(stage.NetworkShellLog()).c_str());
    std::printf("DHCP client notified:\n%s", stage.DhcpLog().c_str());
    std::printf("Apply log (%s):\n%s", WizardStage::ApplyLogPath().c_str(), WizardStage::ApplyLog().c_str());
    return ok ? 0 : 1;
}
