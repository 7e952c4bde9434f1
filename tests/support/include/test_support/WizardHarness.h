// Running the real TarveloIP.exe on a test or demo machine: the programs it starts put
// where it finds them (recording stand-ins for the platform's own), and a driver that
// uses its pages from outside as a user would.
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "test_support/GuiDriver.h"
#include "test_support/PrefixChanges.h"
#include "test_support/Process.h"
#include "test_support/RegistryFixture.h"

namespace TestSupport {

// Polls a condition until it holds (true) or the time is up (false).
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs, DWORD pollMs = 50) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(pollMs);
    }
    return true;
}

// Everything the wizard starts, in place for as long as the stage lives: Adapset.exe
// (or a sleeper in its place) in the Windows directory, where the shell finds it; the
// DHCP client library, the network shell and Wine's session-end helper (which a
// restart request runs) replaced by recording stand-ins in the system directory. Each stand-in logs
// to a file in the log directory; the logs are emptied when the stage is set up. The
// machine's Tarvelo data folder is removed when the stage is set up and at its end;
// the programs get a ProgramData variable pointing to an empty folder in the log
// directory, which they must ignore.
class WizardStage {
public:
    enum class Tool { Adapset, Sleeper };
    struct Options {
        Tool tool = Tool::Adapset;
        Tool networkShell = Tool::Adapset;  // Adapset: the recording stand-in; Sleeper: the sleeper
        DWORD sleepMs = 3000;               // how long a sleeper sleeps
        bool sessionEndStarts = true;       // false: the session-end helper is no program at all
        std::string networkShellFails;      // the stand-in exits 1 for command lines holding this
    };

    WizardStage(const std::string& logDirectory, const Options& options);
    ~WizardStage();
    WizardStage(const WizardStage&) = delete;
    WizardStage& operator=(const WizardStage&) = delete;

    // Whether every file was put in place and the network is private (see
    // PrivateNetwork.h); a message names what failed otherwise.
    bool Ready(std::string* problem = nullptr) const;

    std::string NetworkShellLog() const { return ReadFileBytes(m_logs.networkShell); }
    std::string DhcpLog() const { return ReadFileBytes(m_logs.dhcp); }
    std::string RestartLog() const { return ReadFileBytes(m_logs.restart); }
    std::string SleeperLog() const { return ReadFileBytes(m_logs.sleeper); }
    // The wizard's apply log (UTF-8), <ProgramData>\Tarvelo\TarveloIP.log.
    static std::string ApplyLogPath();
    // <ProgramData>\Tarvelo\Backups, where the wizard saves its snapshots.
    std::string BackupFolder() const { return m_programData + "\\Tarvelo\\Backups"; }
    static std::string ApplyLog() { return ReadFileBytes(ApplyLogPath()); }
    // Snapshots in the folder the variable points to (none, when the programs ignore it).
    std::vector<std::string> SteeredBackupFiles() const {
        return FolderFileNames(m_steered + "\\Tarvelo\\Backups");
    }

    // The paths of the wizard and the programs it runs, in this build.
    static std::string WizardPath() { return BuildPath("wizard\\TarveloIP.exe"); }

private:
    struct Logs {
        std::string networkShell, dhcp, restart, sleeper;
    };
    Logs m_logs;
    std::string m_programData;  // the machine's folder
    std::string m_steered;      // where the variable points
    std::vector<std::unique_ptr<ScopedEnvironmentVariable>> m_environment;
    std::vector<std::unique_ptr<ScopedFileCopy>> m_files;
    std::vector<std::unique_ptr<ScopedDllOverride>> m_overrides;
    std::vector<std::string> m_missing;
};

// What the test modem's DNS server at the wizard's primary address does while the object
// lives (scripts/modem.sh: "relay 192.0.2.53" passes each query to the refusing server);
// it answers NOERROR again afterwards.
class ScopedDnsMode {
public:
    explicit ScopedDnsMode(const std::string& mode);
    ~ScopedDnsMode();
    ScopedDnsMode(const ScopedDnsMode&) = delete;
    ScopedDnsMode& operator=(const ScopedDnsMode&) = delete;

private:
    std::string m_path;
};

// Number of records a recording stand-in wrote (one "cmdline=" line each).
size_t RecordCount(const std::string& log);
// Whether the process's log holds at least count records, waiting up to timeoutMs.
bool WaitForRecords(const WizardStage& stage, std::string (WizardStage::*log)() const, size_t count,
                    DWORD timeoutMs);

// The four fields of a dotted address text ("1.2.3" has three).
std::vector<std::string> AddressFields(const std::string& address);

// Focuses the address control of a page and types the address field by field,
// replacing what a field holds, then moves the focus on, so that the control itself
// reports each field it leaves. After three digits the control moves on by itself.
void TypeAddress(HWND page, int addressControlId, const std::string& text);

// The running wizard and its pages.
class WizardDriver {
public:
    static constexpr wchar_t PageCaption[] = L"Tarvelo ADSL";
    static constexpr wchar_t NoteCaption[] = L"TarveloIP";

    // Starts the wizard and waits for its entry page.
    explicit WizardDriver(const std::string& wizardPath, DWORD timeoutMs = 20000);

    GuiProcess& Process() { return *m_process; }
    HWND Page() const { return m_page; }
    HWND Item(int id) const { return GetDlgItem(m_page, id); }

    void TypeAddress(const std::string& text) const;
    // The adapter list's shown entry ("乙太網路 (...)").
    std::wstring ChosenAdapter() const;
    // Chooses the list's entry that reads so, as a user's click does; false when there
    // is none.
    bool ChooseAdapter(const std::wstring& entry) const;
    // Clicks a button the way a user would, without waiting for what the click starts.
    static void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }
    void PressNext() const { Click(Item(IDOK)); }
    // The closing page's Finish button.
    static HWND FinishButton(HWND closingPage);
    void PressExit() const { Click(Item(IDCANCEL)); }

    // The closing page: a visible page with the wizard's caption other than the entry
    // page; nullptr when none shows within the time.
    HWND WaitForClosingPage(DWORD timeoutMs) const;
    HWND ClosingPage() const;
    // Visible note windows ("TarveloIP").
    std::vector<HWND> NoteWindows() const;

private:
    std::unique_ptr<GuiProcess> m_process;
    HWND m_page = nullptr;
};

}  // namespace TestSupport
