#include "apply/ApplySequence.h"

#include "apply/AdapterListing.h"
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

// Calls one store writer and logs it with its text and result; a failed one is added
// to the failed steps.
void WriteLogged(IApplyLog& log, StoreStep step, const wchar_t* name, const std::string& text, bool written,
                 std::vector<StoreStep>& failed) {
    log.Write(L"store " + std::wstring(name) + L" " + WidenAnsi(text) + L": " + Outcome(written));
    if (!written) failed.push_back(step);
}

}  // namespace

CApplySequence::CApplySequence(IApplyPage& page) : m_page(page) {}

std::wstring CApplySequence::NetworkShellParametersFor(const std::optional<std::wstring>& connectionName) {
    if (!connectionName) return WidenAnsi(NetworkShellParameters);
    const bool blank = connectionName->find_first_of(L" \t") != std::wstring::npos;
    const std::wstring name = blank ? L"\"" + *connectionName + L"\"" : *connectionName;
    return NetworkShellCommand + name + NetworkShellAddress;
}

std::wstring CApplySequence::ToolParameters(const std::wstring& adapterName, const std::string& address,
                                            const std::string& gateway) {
    return adapterName + L" " +
           WidenAnsi(address + " " + FixedSubnetMask + " " + gateway + " " + ProviderDnsList);
}

std::wstring CApplySequence::ToolAdapterName(const AdapterInventory::Adapter& adapter,
                                             const std::vector<std::wstring>& cardKeys) {
    const std::wstring& service = adapter.serviceName;
    if (service.empty() || service[0] < L'0' || service[0] > L'9') return service;
    for (size_t i = 0; i < cardKeys.size(); ++i)
        if (cardKeys[i] == adapter.cardKey) return std::to_wstring(i + 1);
    return service;
}

bool CApplySequence::Run(const AdapterInventory::Adapter& adapter, const std::wstring& toolAdapterName,
                         IProgramLauncher& launcher, ISettingsStore& store, ISettingsBackup& backup,
                         IApplyLog& log) {
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
    if (!SaveBackup(adapter, backup, log)) return true;

    std::string address;
    std::string gateway;
    RunPrograms(adapter, toolAdapterName, launcher, log, address, gateway);

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

    m_page.CloseNote();
    m_page.RestoreCursor();
    FinishAndEnd(log);
    return true;
}

void CApplySequence::GivePageBack() {
    m_page.LockInput(false);
    m_page.EnableExit(true);
    m_page.EnableNext(true);
}

bool CApplySequence::SaveBackup(const AdapterInventory::Adapter& adapter, ISettingsBackup& backup,
                                IApplyLog& log) {
    std::wstring detail;
    if (backup.Save(adapter, detail)) {
        log.Write(L"snapshot saved: " + detail);
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

void CApplySequence::RunPrograms(const AdapterInventory::Adapter& adapter,
                                 const std::wstring& toolAdapterName, IProgramLauncher& launcher,
                                 IApplyLog& log, std::string& address, std::string& gateway) {
    // Today's Windows names the connection "乙太網路", "Wi-Fi" and so on; the old fixed
    // name stays for an adapter whose real one is unknown.
    // A quote cannot be passed inside the shell's quoted parameter.
    std::optional<std::wstring> connection;
    if (!adapter.connectionName.empty() && adapter.connectionName.find(L'"') == std::wstring::npos)
        connection = adapter.connectionName;
    RunLogged(launcher, log, NetworkShellFile, NetworkShellParametersFor(connection),
              launcher.WindowsDirectory() + SystemSubdirectory);

    const std::wstring windowsDirectory = launcher.WindowsDirectory();
    // Read once, after the network shell has ended, and used unchanged from here on.
    address = m_page.ReadAddress();
    gateway = m_page.ReadGateway();
    log.Write(L"address " + WidenAnsi(address) + L", gateway " + WidenAnsi(gateway));
    // One run, for the chosen adapter only, named so that no other card is meant.
    RunLogged(launcher, log, ToolFile, ToolParameters(toolAdapterName, address, gateway), windowsDirectory);
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
