#include "apply/ApplySequence.h"

#include "apply/AddressRules.h"
#include "apply/LoggedRun.h"
#include "apply/WayBack.h"
#include "apply/WideText.h"

// 區域連線, the local network connection on older Traditional Chinese Windows, as
// Big5 bytes, whatever this file's own encoding.
const char CApplySequence::FallbackConnectionName[] = "\xB0\xCF\xB0\xEC\xB3\x73\xBD\x75";

namespace {

const wchar_t ToolFile[] = L"Adapset.exe";

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

std::wstring Answer(bool answered) {
    return answered ? L"answered" : L"no answer";
}

// Calls one store writer and logs it with its text and result.
void WriteLogged(IApplyLog& log, const wchar_t* name, const std::string& text, bool written) {
    log.Write(L"store " + std::wstring(name) + L" " + WidenAnsi(text) + L": " + Outcome(written));
}

}  // namespace

CApplySequence::CApplySequence(IApplyPage& page) : m_page(page) {}

std::wstring CApplySequence::ConnectionFor(const std::optional<std::wstring>& connectionName) {
    return connectionName ? *connectionName : WidenAnsi(FallbackConnectionName);
}

std::string CApplySequence::ToolParameters(int adapterNumber, const std::string& address,
                                           const std::string& gateway) {
    return std::to_string(adapterNumber) + " " + address + " " + FixedSubnetMask + " " + gateway + " " +
           ProviderDnsList;
}

bool CApplySequence::Run(IProgramLauncher& launcher, ISettingsStore& store, ISettingsBackup& backup,
                         IConnectionChecks& checks, IApplyLog& log) {
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

    // Read once, before any program runs, and used unchanged from here on.
    const std::string address = m_page.ReadAddress();
    const std::string gateway = m_page.ReadGateway();
    log.Write(L"address " + WidenAnsi(address) + L", gateway " + WidenAnsi(gateway));
    // Today's Windows names the connection "乙太網路", "Wi-Fi" and so on; the old fixed
    // name stays for a machine where the real one cannot be read.
    const std::wstring connection = ConnectionFor(store.ConnectionName());
    RunPrograms(launcher, log, connection, address, gateway);

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
    const ConnectionReport report = RunChecks(checks, log, gateway);

    m_page.CloseNote();
    m_page.RestoreCursor();
    CWayBack wayBack(backup, launcher, log, connection);
    FinishAndEnd(log, report, wayBack);
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

void CApplySequence::RunPrograms(IProgramLauncher& launcher, IApplyLog& log, const std::wstring& connection,
                                 const std::string& address, const std::string& gateway) {
    // The typed settings go live at once; the registry writes below make them hold
    // after the restart whatever the shell managed.
    for (const std::wstring& parameters :
         NetworkShellCommands::Apply(connection, address, gateway, ProviderDnsPrimary, ProviderDnsSecondary))
        RunLogged(launcher, log, NetworkShellFile, parameters, NetworkShellDirectory(launcher));

    const std::wstring windowsDirectory = launcher.WindowsDirectory();
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

ConnectionReport CApplySequence::RunChecks(IConnectionChecks& checks, IApplyLog& log, const std::string& gateway) {
    m_page.ShowCheckingNote();
    ConnectionReport report;
    report.gateway = gateway;
    report.gatewayAnswered = checks.GatewayAnswers(gateway);
    log.Write(L"check gateway " + WidenAnsi(gateway) + L": " + Answer(report.gatewayAnswered));
    report.dnsServer = ProviderDnsPrimary;
    report.dnsAnswered = checks.DnsServerAnswers(report.dnsServer);
    log.Write(L"check DNS server " + WidenAnsi(report.dnsServer) + L": " + Answer(report.dnsAnswered));
    return report;
}

void CApplySequence::FinishAndEnd(IApplyLog& log, const ConnectionReport& report, IWayBack& wayBack) {
    const int result = m_page.RunFinishPage(report, wayBack);
    if (result == RestoredResult) {
        // The earlier settings are back in the registry and on the connection: nothing
        // waits for a restart.
        log.Write(L"ended after restoring the earlier settings: no restart requested");
        m_page.EndWizard();
        return;
    }
    bool restartAsked = false;
    if (result == FinishResult) {
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
