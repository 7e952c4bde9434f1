#include "apply/ApplySequence.h"

#include "apply/AddressRules.h"
#include "apply/WideText.h"

// "interface ip set address 區域連線 static 192.168.123.163 255.255.255.0", with the
// connection name (the local network connection on older Traditional Chinese Windows)
// as Big5 bytes, whatever this file's own encoding.
const char CApplySequence::NetworkShellParameters[] =
    "interface ip set address "
    "\xB0\xCF\xB0\xEC\xB3\x73\xBD\x75"
    " static 192.168.123.163 255.255.255.0";

namespace {

const wchar_t NetworkShellFile[] = L"netsh.exe";
const wchar_t ToolFile[] = L"Adapset.exe";
const wchar_t SystemSubdirectory[] = L"\\system32";
const wchar_t NetworkShellCommand[] = L"interface ip set address ";
const wchar_t NetworkShellAddress[] = L" static 192.168.123.163 255.255.255.0";
constexpr int FinishResult = 2;  // the closing page's Finish button (IDCANCEL)

// Leaves the note window and the lock behind on every way out of the sequence,
// including an exception from the store.
class NoteScope {
public:
    explicit NoteScope(IApplyPage& page) : m_page(page) { m_page.ShowNote(); }
    ~NoteScope() { m_page.DestroyNote(); }
    NoteScope(const NoteScope&) = delete;
    NoteScope& operator=(const NoteScope&) = delete;

private:
    IApplyPage& m_page;
};

class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~RunningFlag() { m_flag = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& m_flag;
};

std::wstring Outcome(bool succeeded) {
    return succeeded ? L"ok" : L"failed";
}

// Runs one program and logs it with its parameters and exit status; the outcome
// decides nothing.
void RunLogged(IProgramLauncher& launcher, IApplyLog& log, const std::wstring& file,
               const std::wstring& parameters, const std::wstring& directory) {
    // By full path, so that no program of that name elsewhere on the search path runs.
    const std::wstring path = directory + L"\\" + file;
    const std::optional<DWORD> status = launcher.RunAndWait(path, parameters, directory);
    log.Write(L"run " + path + L" " + parameters + L" (in " + directory + L"): " +
              (status ? L"exit status " + std::to_wstring(*status) : std::wstring(L"not started")));
}

// Calls one store writer and logs it with its text and result.
void WriteLogged(IApplyLog& log, const wchar_t* name, const std::string& text, bool written) {
    log.Write(L"store " + std::wstring(name) + L" " + WidenAnsi(text) + L": " + Outcome(written));
}

}  // namespace

CApplySequence::CApplySequence(IApplyPage& page) : m_page(page) {}

std::wstring CApplySequence::NetworkShellParametersFor(const std::optional<std::wstring>& connectionName) {
    if (!connectionName) return WidenAnsi(NetworkShellParameters);
    const bool blank = connectionName->find_first_of(L" \t") != std::wstring::npos;
    const std::wstring name = blank ? L"\"" + *connectionName + L"\"" : *connectionName;
    return NetworkShellCommand + name + NetworkShellAddress;
}

std::string CApplySequence::ToolParameters(int adapterNumber, const std::string& address,
                                           const std::string& gateway) {
    return std::to_string(adapterNumber) + " " + address + " " + FixedSubnetMask + " " + gateway + " " +
           ProviderDnsList;
}

bool CApplySequence::Run(IProgramLauncher& launcher, ISettingsStore& store, ISettingsBackup& backup,
                         IApplyLog& log) {
    if (m_running) return false;
    const RunningFlag running(m_running);
    log.Write(L"apply started");

    m_page.ShowWaitCursor();
    m_page.EnableNext(false);
    m_page.EnableExit(false);
    // While programs run, messages are dispatched: a typed address must not enable
    // Next and start the sequence again inside itself.
    m_page.LockAddress(true);
    const NoteScope note(m_page);
    if (!SaveBackup(backup, log)) return true;

    std::string address;
    std::string gateway;
    RunPrograms(launcher, store, log, address, gateway);

    const bool opened = store.Open(nullptr);
    log.Write(L"store open: " + Outcome(opened));
    if (!opened) {
        // Nothing was written; let the user leave instead of leaving the page frozen.
        m_page.DestroyNote();
        m_page.RestoreCursor();
        m_page.EnableExit(true);
        return true;
    }
    WriteStore(store, log, address, gateway);

    m_page.CloseNote();
    m_page.RestoreCursor();
    FinishAndEnd(log);
    return true;
}

bool CApplySequence::SaveBackup(ISettingsBackup& backup, IApplyLog& log) {
    std::wstring detail;
    if (backup.Save(detail)) {
        log.Write(L"snapshot saved: " + detail);
        return true;
    }
    log.Write(L"snapshot not saved, nothing changed: " + detail);
    // Nothing has run: the page goes back to how it was, so the user may try again.
    m_page.DestroyNote();
    m_page.RestoreCursor();
    m_page.ReportBackupFailure(detail);
    m_page.LockAddress(false);
    m_page.EnableExit(true);
    m_page.EnableNext(true);
    return false;
}

void CApplySequence::RunPrograms(IProgramLauncher& launcher, ISettingsStore& store, IApplyLog& log,
                                 std::string& address, std::string& gateway) {
    // Today's Windows names the connection "乙太網路", "Wi-Fi" and so on; the old fixed
    // name stays for a machine where the real one cannot be read.
    RunLogged(launcher, log, NetworkShellFile, NetworkShellParametersFor(store.ConnectionName()),
              launcher.WindowsDirectory() + SystemSubdirectory);

    const std::wstring windowsDirectory = launcher.WindowsDirectory();
    // Read once, after the network shell has ended, and used unchanged from here on.
    address = m_page.ReadAddress();
    gateway = m_page.ReadGateway();
    log.Write(L"address " + WidenAnsi(address) + L", gateway " + WidenAnsi(gateway));
    for (int adapter = 1; adapter <= 3; ++adapter)
        RunLogged(launcher, log, ToolFile, WidenAnsi(ToolParameters(adapter, address, gateway)),
                  windowsDirectory);
}

void CApplySequence::WriteStore(ISettingsStore& store, IApplyLog& log, const std::string& address,
                                const std::string& gateway) {
    // Each write is tried whatever the previous one returned; none decides anything.
    WriteLogged(log, L"IPAddress", address, store.SetIPAddress(address.c_str()));
    WriteLogged(log, L"SubnetMask", FixedSubnetMask, store.SetSubnetMask(FixedSubnetMask));
    WriteLogged(log, L"DefaultGateway", gateway, store.SetDefaultGateway(gateway.c_str()));
    WriteLogged(log, L"NameServer", ProviderDnsList, store.SetNameServer(ProviderDnsList));
    // The static values count only with DHCP off, whatever the network shell managed.
    WriteLogged(log, L"EnableDHCP", "0", store.DisableDhcp());
    store.Close();
}

void CApplySequence::FinishAndEnd(IApplyLog& log) {
    bool restartAsked = false;
    if (m_page.RunFinishPage() == FinishResult) {
        const DWORD status = m_page.RestartComputer();
        restartAsked = status == ERROR_SUCCESS;
        log.Write(restartAsked ? std::wstring(L"restart requested")
                               : L"restart request failed: error " + std::to_wstring(status));
    } else {
        log.Write(L"closing page did not end with Finish: no restart requested");
    }
    // The page's buttons stay disabled; ending the wizard is the user's way out.
    if (!restartAsked) m_page.AskForRestartByHand();
    m_page.EndWizard();
}
