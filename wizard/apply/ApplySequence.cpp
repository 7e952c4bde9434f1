#include "apply/ApplySequence.h"

#include "win_base/DecimalText.h"
#include "apply/AdapterListing.h"
#include "apply/AddressRules.h"
#include "apply/CommandLine.h"
#include "apply/LoggedRun.h"
#include "apply/WayBack.h"

#include <exception>

#include "win_base/PrintableText.h"
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

// The DNS check's finding for the log: "answered" only for NOERROR.
std::wstring DnsFinding(const ConnectionCheck::DnsCheck& dns) {
    if (!dns.replied) return L"no answer";
    if (dns.Resolves()) return L"answered";
    const char* const name = ConnectionCheck::DnsResultCodeName(dns.resultCode);
    return L"does not resolve (" +
           (name != nullptr ? WinBase::WideFromNarrow(name)
                            : L"result code " + WinBase::DecimalText(dns.resultCode)) +
           L")";
}

// Calls one store writer and logs it with its text and result; a failed one is added
// to the failed steps.
void WriteLogged(IApplyLog& log, StoreStep step, const wchar_t* name, const std::string& text, bool written,
                 std::vector<StoreStep>& failed) {
    log.Write(L"store " + std::wstring(name) + L" " + WinBase::WideFromNarrow(text) + L": " +
              Outcome(written));
    if (!written) failed.push_back(step);
}

// A program run that did not start or exited non-zero, as the failure it is.
std::optional<ApplyFailure> ProgramFailure(ApplyFailure::Step step, const std::wstring& parameters,
                                           const std::optional<DWORD>& status) {
    if (status && *status == 0) return std::nullopt;
    ApplyFailure failure;
    failure.step = step;
    failure.parameters = parameters;
    failure.exitStatus = status;
    return failure;
}

}  // namespace

CApplySequence::CApplySequence(IApplyPage& page, const ApplyOperations& operations)
    : m_page(page), m_operations(operations), m_record(operations.record) {}

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

bool CApplySequence::Run(const AdapterInventory::Adapter& adapter, const std::wstring& toolAdapterName) {
    if (m_running) return false;
    IProgramLauncher& launcher = m_operations.launcher;
    ISettingsStore& store = m_operations.store;
    ISettingsBackup& backup = m_operations.backup;
    IApplyLog& log = m_operations.log;
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
    CWayBack wayBack(backup, launcher, log, connection);
    std::optional<ApplyFailure> failure =
        RunPrograms(toolAdapterName, launcher, log, connection, address, gateway);
    if (!failure) failure = WriteStore(adapter, store, log, address, gateway);
    if (failure) {
        // Nothing half-done stays: everything goes back before the user is told.
        PutBackAfter(adapter, *failure, wayBack, log);
        return true;
    }
    const ConnectionReport report = RunChecks(m_operations.checks, log, gateway);

    m_page.CloseNote();
    m_page.RestoreCursor();
    FinishAndEnd(adapter, log, report, wayBack, backup);
    return true;
}

void CApplySequence::PutBackAfter(const AdapterInventory::Adapter& adapter, const ApplyFailure& failure,
                                  IWayBack& wayBack, IApplyLog& log) {
    log.Write(L"apply failed: putting the earlier settings back");
    const WayBackOutcome outcome = wayBack.Restore();
    log.Write(outcome.Complete() ? std::wstring(L"earlier settings put back")
                                 : std::wstring(L"earlier settings not completely put back"));
    m_page.DestroyNote();
    m_page.RestoreCursor();
    m_page.ReportApplyFailure(AdapterDisplayName(adapter), failure, outcome);
    // The user may try again, choose another adapter or leave.
    GivePageBack();
}

void CApplySequence::GivePageBack() {
    m_page.LockInput(false);
    m_page.EnableExit(true);
    m_page.EnableNext(true);
}

bool CApplySequence::SaveBackup(const AdapterInventory::Adapter& adapter, ISettingsBackup& backup,
                                IApplyLog& log, std::wstring& savedPath) {
    const std::optional<SettingsSnapshot::Failure> failure = backup.Save(adapter);
    if (!failure) {
        savedPath = backup.SavedPath();
        log.Write(L"snapshot saved: " + savedPath);
        return true;
    }
    log.Write(L"snapshot not saved, nothing changed: " + failure->Describe());
    // Nothing has run: the page goes back to how it was, so the user may try again.
    m_page.DestroyNote();
    m_page.RestoreCursor();
    m_page.ReportBackupFailure(*failure);
    GivePageBack();
    return false;
}

std::optional<ApplyFailure> CApplySequence::RunPrograms(const std::wstring& toolAdapterName,
                                                        IProgramLauncher& launcher, IApplyLog& log,
                                                        const std::wstring& connection,
                                                        const std::string& address,
                                                        const std::string& gateway) {
    // The typed settings go live at once; the registry writes below make them hold
    // after the restart.
    for (const std::wstring& parameters : NetworkShellCommands::Apply(
             connection, address, gateway, ProviderDnsPrimary, ProviderDnsSecondary)) {
        if (std::optional<ApplyFailure> failure = ProgramFailure(ApplyFailure::Step::NetworkShell, parameters,
                                                                 RunNetworkShell(launcher, log, parameters)))
            return failure;
    }
    // One run, for the chosen adapter only, named so that no other card is meant.
    const std::wstring parameters = ToolParameters(toolAdapterName, address, gateway);
    return ProgramFailure(ApplyFailure::Step::Tool, parameters,
                          RunLogged(launcher, log, ToolFile, parameters, launcher.WindowsDirectory()));
}

std::optional<ApplyFailure> CApplySequence::WriteStore(const AdapterInventory::Adapter& adapter,
                                                       ISettingsStore& store, IApplyLog& log,
                                                       const std::string& address,
                                                       const std::string& gateway) {
    ApplyFailure failure;
    failure.step = ApplyFailure::Step::Store;
    const bool opened = store.Open(adapter);
    log.Write(L"store open: " + Outcome(opened));
    if (!opened) {
        failure.storeSteps = {StoreStep::Open};
        return failure;
    }
    // Each write is tried whatever the previous one returned, so all failures are named.
    std::vector<StoreStep>& failed = failure.storeSteps;
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
    if (failed.empty()) return std::nullopt;
    return failure;
}

ConnectionReport CApplySequence::RunChecks(IConnectionChecks& checks, IApplyLog& log,
                                           const std::string& gateway) {
    ConnectionReport report;
    report.gateway = gateway;
    report.dnsServer = ProviderDnsPrimary;
    m_page.ShowCheckingNote(report.gateway, report.dnsServer);
    report.results = checks.Run(report.gateway, report.dnsServer);
    log.Write(L"check gateway " + WinBase::WideFromNarrow(gateway) + L": " +
              (report.results.gatewayAnswered ? L"answered" : L"no answer"));
    log.Write(L"check DNS server " + WinBase::WideFromNarrow(report.dnsServer) + L": " +
              DnsFinding(report.results.dns));
    return report;
}

void CApplySequence::FinishAndEnd(const AdapterInventory::Adapter& adapter, IApplyLog& log,
                                  const ConnectionReport& report, CWayBack& wayBack,
                                  const ISettingsBackup& backup) {
    const int result = m_page.RunFinishPage(report, wayBack);
    // Ended before a restart is asked for.
    if (m_record != nullptr) m_record->Ended();
    if (result == RestoredResult) {
        // The earlier settings are back in the registry and, as far as the outcome
        // says, on the connection: nothing waits for a restart.
        log.Write(L"ended after restoring the earlier settings: no restart requested");
        m_page.ReportWayBack(AdapterDisplayName(adapter), backup.Previous(), wayBack.LastOutcome());
        m_page.EndWizard();
        return;
    }
    if (result != FinishResult) {
        // Closing a window never restarts the computer; the way back stays on the Start menu.
        log.Write(L"closing page closed: new settings kept, no restart requested");
        m_page.EndWizard();
        return;
    }
    const DWORD status = m_operations.restart.RestartComputer();
    const bool restartAsked = status == ERROR_SUCCESS;
    log.Write(restartAsked ? std::wstring(L"restart requested")
                           : L"restart request failed: error " + WinBase::DecimalText(status));
    if (!restartAsked) m_page.AskForRestartByHand();
    m_page.EndWizard();
}
