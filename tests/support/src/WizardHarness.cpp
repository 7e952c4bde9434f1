#include "test_support/WizardHarness.h"

#include <shlobj.h>

#include <cstdio>

#include "resources/resource.h"
#include "test_support/PrivateNetwork.h"

namespace TestSupport {

namespace {

void WriteTextFile(const std::string& path, const std::string& text) {
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

// The machine's ProgramData folder as the shell knows it (the programs ignore the
// variable).
std::string MachineProgramData() {
    PWSTR path = nullptr;
    std::string folder = "C:\\ProgramData";
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &path)))
        folder = std::string(path, path + wcslen(path));  // ASCII in a test prefix
    CoTaskMemFree(path);
    return folder;
}

}  // namespace

WizardStage::WizardStage(const std::string& logDirectory, const Options& options) {
    m_logs = {logDirectory + "\\netsh.log", logDirectory + "\\dhcpcsvc.log", logDirectory + "\\wineboot.log",
              logDirectory + "\\sleeper.log"};
    // The variable points elsewhere: the programs must still use the machine's folder.
    m_steered = logDirectory + "\\ProgramData";
    RemoveFolderTree(m_steered);
    CreateDirectoryA(m_steered.c_str(), nullptr);
    m_programData = MachineProgramData();
    RemoveFolderTree(m_programData + "\\Tarvelo");
    DeleteFileA((m_programData + "\\Tarvelo").c_str());  // a test's blocker
    const std::pair<const char*, std::string> variables[] = {
        {"TARVELO_NETSH_LOG", m_logs.networkShell},
        {"ADAPSET_DOUBLE_LOG", m_logs.dhcp},
        {"TARVELO_WINEBOOT_LOG", m_logs.restart},
        {"TARVELO_SLEEPER_LOG", m_logs.sleeper},
        {"TARVELO_SLEEPER_MS", std::to_string(options.sleepMs)},
        {"TARVELO_NETSH_FAIL", options.networkShellFails},
        {"ProgramData", m_steered}};
    for (const auto& [name, value] : variables) {
        m_environment.push_back(std::make_unique<ScopedEnvironmentVariable>(name, value));
        if (std::string(name).find("_LOG") != std::string::npos) DeleteFileA(value.c_str());
    }

    const std::string sleeper = BuildPath("tests\\doubles\\sleeper.exe");
    const std::string tool = options.tool == Tool::Sleeper ? sleeper : BuildPath("adapter_tool\\Adapset.exe");
    const std::string shell =
        options.networkShell == Tool::Sleeper ? sleeper : BuildPath("tests\\doubles\\netsh.exe");
    // A text file in the helper's place: the system cannot start it, so a restart
    // request fails.
    std::string sessionEnd = BuildPath("tests\\doubles\\wineboot.exe");
    if (!options.sessionEndStarts) {
        sessionEnd = logDirectory + "\\not-a-program.exe";
        WriteTextFile(sessionEnd, "not a program\r\n");
    }
    const std::pair<std::string, std::string> files[] = {
        {tool, WindowsDirectory() + "\\Adapset.exe"},
        {BuildPath("adapter_tool\\tests\\double\\dhcpcsvc.dll"), SystemDirectory() + "\\dhcpcsvc.dll"},
        {shell, SystemDirectory() + "\\netsh.exe"},
        {sessionEnd, SystemDirectory() + "\\wineboot.exe"}};
    for (const auto& [source, target] : files) {
        m_files.push_back(std::make_unique<ScopedFileCopy>(source, target));
        if (!m_files.back()->Placed()) m_missing.push_back(source + " -> " + target);
    }
    for (const char* module : {"netsh.exe", "wineboot.exe", "dhcpcsvc"})
        m_overrides.push_back(std::make_unique<ScopedDllOverride>(module, "native"));
}

// Overrides go first, so that nothing started in between runs a stand-in left
// without its file, or the other way round.
WizardStage::~WizardStage() {
    m_overrides.clear();
    m_files.clear();
    RemoveFolderTree(m_programData + "\\Tarvelo");
    DeleteFileA((m_programData + "\\Tarvelo").c_str());
    RemoveFolderTree(m_steered);
}

std::string WizardStage::ApplyLogPath() {
    return MachineProgramData() + "\\Tarvelo\\TarveloIP.log";
}

bool WizardStage::Ready(std::string* problem) const {
    // The wizard checks the connection with real packets: only in a private network.
    const std::string network = PrivateNetworkProblem();
    if (problem != nullptr) {
        problem->clear();
        for (const std::string& missing : m_missing) *problem += "not placed: " + missing + "\n";
        if (!network.empty()) *problem += network + "\n";
    }
    return m_missing.empty() && network.empty();
}

ScopedDnsMode::ScopedDnsMode(const std::string& mode) : m_path(BuildPath("test-env\\dns-mode")) {
    WriteTextFile(m_path, mode + "\n");
}

ScopedDnsMode::~ScopedDnsMode() {
    DeleteFileA(m_path.c_str());
}

HWND WizardDriver::FinishButton(HWND closingPage) {
    return GetDlgItem(closingPage, IDC_FINISH);
}

size_t RecordCount(const std::string& log) {
    size_t count = 0;
    for (size_t at = log.find("cmdline="); at != std::string::npos; at = log.find("cmdline=", at + 1))
        if (at == 0 || log[at - 1] == '\n') ++count;
    return count;
}

bool WaitForRecords(const WizardStage& stage, std::string (WizardStage::*log)() const, size_t count,
                    DWORD timeoutMs) {
    return WaitUntil([&] { return RecordCount((stage.*log)()) >= count; }, timeoutMs, 20);
}

std::vector<std::string> AddressFields(const std::string& address) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t dot; (dot = address.find('.', start)) != std::string::npos; start = dot + 1)
        fields.push_back(address.substr(start, dot - start));
    fields.push_back(address.substr(start));
    return fields;
}

void TypeAddress(HWND page, int addressControlId, const std::string& text) {
    SendMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(page, addressControlId)), TRUE);
    const auto fields = AddressFields(text);
    for (size_t i = 0; i < fields.size(); ++i) {
        SendMessageW(FocusedWindow(page), EM_SETSEL, 0, -1);
        TypeIntoFocus(page, fields[i]);
        if (fields[i].size() < 3 && i + 1 < fields.size()) TypeIntoFocus(page, ".");
    }
    SendMessageW(page, WM_NEXTDLGCTL, 0, FALSE);
}

WizardDriver::WizardDriver(const std::string& wizardPath, DWORD timeoutMs)
    : m_process(std::make_unique<GuiProcess>(wizardPath)) {
    if (m_process->Started()) m_page = WaitForWindow(m_process->Id(), PageCaption, timeoutMs);
}

void WizardDriver::TypeAddress(const std::string& text) const {
    TestSupport::TypeAddress(m_page, IDC_ADDRESS, text);
}

std::wstring WizardDriver::ChosenAdapter() const {
    return WindowTextW(Item(IDC_ADAPTER));
}

bool WizardDriver::ChooseAdapter(const std::wstring& entry) const {
    const HWND list = Item(IDC_ADAPTER);
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        // The text of the selected entry is the one that reads across processes.
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        if (WindowTextW(list) != entry) continue;
        SendMessageW(m_page, WM_COMMAND, MAKEWPARAM(IDC_ADAPTER, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return true;
    }
    return false;
}

HWND WizardDriver::ClosingPage() const {
    for (const HWND window : FindProcessWindows(m_process->Id(), PageCaption, true))
        if (window != m_page) return window;
    return nullptr;
}

HWND WizardDriver::WaitForClosingPage(DWORD timeoutMs) const {
    WaitUntil([&] { return ClosingPage() != nullptr || m_process->HasExited(); }, timeoutMs);
    return ClosingPage();
}

std::vector<HWND> WizardDriver::NoteWindows() const {
    return FindProcessWindows(m_process->Id(), NoteCaption, true);
}

}  // namespace TestSupport
