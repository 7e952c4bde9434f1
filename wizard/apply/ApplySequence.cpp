#include "apply/ApplySequence.h"

#include "apply/AdapterListing.h"
#include "apply/AddressRules.h"
#include "apply/CommandLine.h"
#include "apply/LoggedRun.h"
#include "apply/WayBack.h"

#include <exception>

#include "win_base/PrintableText.h"
#include "win_base/DecimalText.h"
#include "win_base/TextConversion.h"

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

// The record of the running apply, ended on every way out but an exception (which
// leaves the apply cut off).
class RecordScope {
public:
    RecordScope(IApplyRecord* record, const std::wstring& service, const std::wstring& snapshotPath)
        : m_record(record), m_exceptions(std::uncaught_exceptions()) {
        if (m_record != nullptr) m_record->Started(service, snapshotPath);
    }
    ~RecordScope() {
        if (m_record != nullptr && std::uncaught_exceptions() == m_exceptions) m_record->Ended();
    }
    RecordScope(const RecordScope&) = delete;
    RecordScope& operator=(const RecordScope&) = delete;

private:
    IApplyRecord* m_record;
    int m_exceptions;
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

// Calls one store writer and logs it with its text and result; a failed one is added
// to the failed steps.
void WriteLogged(IApplyLog& log, StoreStep step, const wchar_t* name, const std::string& text, bool written,
                 std::vector<StoreStep>& failed) {
    log.Write(L"store " + std::wstring(name) + L" " + WinBase::WideFromNarrow(text) + L": " +
              Outcome(written));
    if (!written) failed.push_back(step);
}

}  // namespace

CApplySequence::CApplySequence(IApplyPage& page) : m_page(page) {}

std::wstring CApplySequence::ConnectionFor(const std::wstring& connectionName) {
    // A quote cannot be passed inside the shell's quoted name.
    if (connectionName.empty() || connectionName.find(L'"') != std::wstring::npos)
        return WinBase::WideFromNarrow(FallbackConnectionName);
    return connectionName;
}

std::wstring CApplySequence::ToolParameters(const std::wstring& adapterName, const std::string& address,
                                            const std::string& gateway) {
    return CommandLineArgument(WinBase::PrintableText(adapterName)) + L" " +
           WinBase::WideFromNarrow(address + " " + FixedSubnetMask + " " + gateway + " " + ProviderDnsList);
}

std::wstring CApplySequence::ToolAdapterName(const AdapterInventory::Adapter& adapter,
                                             const std::vector<std::wstring>& cardKeys) {
    const std::wstring& service = adapter.serviceName;
    if (service.empty() || service[0] < L'0' || service[0] > L'9') return service;
    for (size_t i = 0; i < cardKeys.size(); ++i)
        if (cardKeys[i] == adapter.cardKey) return WinBase::DecimalText(i + 1);
    return service;
}

bool CApplySequence::Run(const AdapterInventory::Adapter& adapter, const std::wstring& toolAdapterName,
                         IProgramLauncher& launcher, ISettingsStore& store, ISettingsBackup& backup,
                         IConnectionChecks& checks, IApplyLog& log) {
    if (m_running) return false;
    const RunningFlag running(m_running);
    log.Write(L"apply started");
    log.Write(L"adapter " + AdapterDisplayName(adapter) + L" (card " + adapter.cardKey + L", service " +
              adapter.serviceName + L")");

    m_page.ShowWaitCursor();
    m_page.EnableNext(false);
    m_page.EnableExit(false);
    // While programs run, messages are dispatched: a typed address must not enable
    // Next and start the sequence again inside itself.
    m_page.LockInput(true);
    const NoteScope note(m_page);
    std::wstring snapshotPath;
    if (!SaveBackup(adapter, backup, log, snapshotPath)) return true;
    const RecordScope record(m_record, adapter.serviceName, snapshotPath);

    // Read once, before any program runs, and used unchanged from here on.
    const std::string address = m_page.ReadAddress();
    const std::string gateway = m_page.ReadGateway();
    log.Write(L"address " + WinBase::WideFromNarrow(address) + L", gateway " +
              WinBase::WideFromNarrow(gateway));
    // Today's Windows names the connection "乙太網路", "Wi-Fi" and so on; the old fixed
    // name stays for an adapter whose real one is unknown.
    const std::wstring connection = ConnectionFor(adapter.connectionName);
    RunPrograms(toolAdapterName, launcher, log, connection, address, gateway);

    const std::vector<StoreStep> failed = WriteStore(adapter, store, log, address, gateway);
    if (!failed.empty()) {
        // The closing page would claim a setup that did not happen: say what failed and
        // give the page back, so the user may try again or leave.
        m_page.DestroyNote();
        m_page.RestoreCursor();
        m_page.ReportStoreFailure(AdapterDisplayName(adapter), failed);
        GivePageBack();
        return true;
    }
    const ConnectionReport report = RunChecks(checks, log, gateway);

    m_page.CloseNote();
    m_page.RestoreCursor();
    CWayBack wayBack(backup, launcher, log, connection);
    FinishAndEnd(log, report, wayBack);
    return true;
}

void CApplySequence::GivePageBack() {
    m_page.LockInput(false);
    m_page.EnableExit(true);
    m_page.EnableNext(true);
}

bool CApplySequence::SaveBackup(const AdapterInventory::Adapter& adapter, ISettingsBackup& backup,
                                IApplyLog& log, std::wstring& savedPath) {
    std::wstring detail;
    if (backup.Save(adapter, detail)) {
        log.Write(L"snapshot saved: " + detail);
        savedPath = detail;
        return true;
    }
    log.Write(L"snapshot not saved, nothing changed: " + detail);
    // Nothing has run: the page goes back to how it was, so the user may try again.
    m_page.DestroyNote();
    m_page.RestoreCursor();
    m_page.ReportBackupFailure(detail);
    GivePageBack();
    return false;
}

void CApplySequence::RunPrograms(const std::wstring& toolAdapterName, IProgramLauncher& launcher,
                                 IApplyLog& log, const std::wstring& connection, const std::string& address,
                                 const std::string& gateway) {
    // The typed settings go live at once; the registry writes below make them hold
    // after the restart whatever the shell managed.
    for (const std::wstring& parameters :
         NetworkShellCommands::Apply(connection, address, gateway, ProviderDnsPrimary, ProviderDnsSecondary))
        RunLogged(launcher, log, NetworkShellFile, parameters, NetworkShellDirectory(launcher));

    // One run, for the chosen adapter only, named so that no other card is meant.
    RunLogged(launcher, log, ToolFile, ToolParameters(toolAdapterName, address, gateway),
              launcher.WindowsDirectory());
}

std::vector<StoreStep> CApplySequence::WriteStore(const AdapterInventory::Adapter& adapter,
                                                  ISettingsStore& store, IApplyLog& log,
                                                  const std::string& address, const std::string& gateway) {
    const bool opened = store.Open(adapter);
    log.Write(L"store open: " + Outcome(opened));
    if (!opened) return {StoreStep::Open};
    // Each write is tried whatever the previous one returned.
    std::vector<StoreStep> failed;
    WriteLogged(log, StoreStep::IPAddress, L"IPAddress", address, store.SetIPAddress(address.c_str()),
                failed);
    WriteLogged(log, StoreStep::SubnetMask, L"SubnetMask", FixedSubnetMask,
                store.SetSubnetMask(FixedSubnetMask), failed);
    WriteLogged(log, StoreStep::DefaultGateway, L"DefaultGateway", gateway,
                store.SetDefaultGateway(gateway.c_str()), failed);
    WriteLogged(log, StoreStep::NameServer, L"NameServer", ProviderDnsList,
                store.SetNameServer(ProviderDnsList), failed);
    // The static values count only with DHCP off, whatever the network shell managed.
    WriteLogged(log, StoreStep::DisableDhcp, L"EnableDHCP", "0", store.DisableDhcp(), failed);
    store.Close();
    return failed;
}

ConnectionReport CApplySequence::RunChecks(IConnectionChecks& checks, IApplyLog& log,
                                           const std::string& gateway) {
    m_page.ShowCheckingNote();
    ConnectionReport report;
    report.gateway = gateway;
    report.gatewayAnswered = checks.GatewayAnswers(gateway);
    log.Write(L"check gateway " + WinBase::WideFromNarrow(gateway) + L": " + Answer(report.gatewayAnswered));
    report.dnsServer = ProviderDnsPrimary;
    report.dnsAnswered = checks.DnsServerAnswers(report.dnsServer);
    log.Write(L"check DNS server " + WinBase::WideFromNarrow(report.dnsServer) + L": " +
              Answer(report.dnsAnswered));
    return report;
}

void CApplySequence::FinishAndEnd(IApplyLog& log, const ConnectionReport& report, IWayBack& wayBack) {
    const int result = m_page.RunFinishPage(report, wayBack);
    // Ended before a restart is asked for.
    if (m_record != nullptr) m_record->Ended();
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
                               : L"restart request failed: error " + WinBase::DecimalText(status));
    } else {
        log.Write(L"closing page did not end with Finish: no restart requested");
    }
    // The page's buttons stay disabled; ending the wizard is the user's way out.
    if (!restartAsked) m_page.AskForRestartByHand();
    m_page.EndWizard();
}
