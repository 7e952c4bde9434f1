#include "ApplySequence.h"

#include "AddressRules.h"

// "interface ip set address 區域連線 static 192.168.123.163 255.255.255.0", with the
// connection name (the local network connection on Traditional Chinese Windows) as
// Big5 bytes, whatever this file's own encoding.
const char CApplySequence::NetworkShellParameters[] =
    "interface ip set address "
    "\xB0\xCF\xB0\xEC\xB3\x73\xBD\x75"
    " static 192.168.123.163 255.255.255.0";

namespace {

const char NetworkShellFile[] = "netsh.exe";
const char ToolFile[] = "Adapset.exe";
const char SystemSubdirectory[] = "\\system32";
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

}  // namespace

CApplySequence::CApplySequence(IApplyPage& page) : m_page(page) {}

std::string CApplySequence::ToolParameters(int adapterNumber, const std::string& address,
                                           const std::string& gateway) {
    return std::to_string(adapterNumber) + " " + address + " " + FixedSubnetMask + " " + gateway + " " +
           ProviderDnsList;
}

bool CApplySequence::Run(IProgramLauncher& launcher, ISettingsStore& store) {
    if (m_running) return false;
    const RunningFlag running(m_running);

    m_page.ShowWaitCursor();
    m_page.EnableNext(false);
    m_page.EnableExit(false);
    // While programs run, messages are dispatched: a typed address must not enable
    // Next and start the sequence again inside itself.
    m_page.LockAddress(true);
    const NoteScope note(m_page);

    std::string address;
    std::string gateway;
    RunPrograms(launcher, address, gateway);

    if (!store.Open(nullptr)) {
        // Nothing was written; let the user leave instead of leaving the page frozen.
        m_page.DestroyNote();
        m_page.RestoreCursor();
        m_page.EnableExit(true);
        return true;
    }
    WriteStore(store, address, gateway);

    m_page.CloseNote();
    m_page.RestoreCursor();
    if (m_page.RunFinishPage() == FinishResult) m_page.RestartComputer();
    return true;
}

void CApplySequence::RunPrograms(IProgramLauncher& launcher, std::string& address, std::string& gateway) {
    launcher.RunAndWait(NetworkShellFile, NetworkShellParameters,
                        launcher.WindowsDirectory() + SystemSubdirectory);

    const std::string windowsDirectory = launcher.WindowsDirectory();
    // Read once, after the network shell has ended, and used unchanged from here on.
    address = m_page.ReadAddress();
    gateway = m_page.ReadGateway();
    for (int adapter = 1; adapter <= 3; ++adapter)
        launcher.RunAndWait(ToolFile, ToolParameters(adapter, address, gateway), windowsDirectory);
}

void CApplySequence::WriteStore(ISettingsStore& store, const std::string& address,
                                const std::string& gateway) {
    // Each write is tried whatever the previous one returned; none decides anything.
    store.SetIPAddress(address.c_str());
    store.SetSubnetMask(FixedSubnetMask);
    store.SetDefaultGateway(gateway.c_str());
    store.SetNameServer(ProviderDnsList);
    store.Close();
}
