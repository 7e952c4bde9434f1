// Reliability run of "Adapset.exe /restore": thousands of whole-process runs on files
// mutated from real snapshots the tool wrote on a seeded machine (bytes, lines, names
// with NULs and control characters, types, sizes, hex runs, continuations, encodings).
// Counts crashes and hangs, refused runs that changed anything under Services or
// NetworkCards (watched with registry change notifications on both whole trees), and
// accepted runs that wrote anything outside the snapshot allow-list (the whole Services
// tree compared). Run it under the build's wine-run
// (scripts/adapset-restore-reliability.sh does); it puts everything back.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "settings_snapshot/DataFolder.h"
#include "test_support/PrefixChanges.h"
#include "test_support/Process.h"
#include "test_support/RegistryFixture.h"
#include "test_support/TestMachine.h"

using namespace TestSupport;

namespace {

const char kServicesRoot[] = "SYSTEM\\CurrentControlSet\\Services";
const char kCardsRoot[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";

// Signals once anything below the key changes (names, values, subkeys) after Arm; each
// Arm opens the key anew, so that a notification still pending cannot keep it from arming.
class TreeWatch {
public:
    explicit TreeWatch(const char* path)
        : m_path(path), m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~TreeWatch() {
        Close();
        CloseHandle(m_event);
    }
    TreeWatch(const TreeWatch&) = delete;
    TreeWatch& operator=(const TreeWatch&) = delete;
    bool Arm() {
        Close();
        ResetEvent(m_event);
        return RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_path, 0, KEY_NOTIFY | KEY_WOW64_64KEY, &m_key) ==
                   ERROR_SUCCESS &&
               RegNotifyChangeKeyValue(m_key, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                       m_event, TRUE) == ERROR_SUCCESS;
    }
    bool Fired() const { return WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0; }

private:
    void Close() {
        if (m_key != nullptr) RegCloseKey(m_key);
        m_key = nullptr;
    }
    const char* m_path;
    HANDLE m_event;
    HKEY m_key = nullptr;
};

std::wstring Decode(const std::string& bytes) {
    std::wstring text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<BYTE>(bytes[i]) | static_cast<BYTE>(bytes[i + 1]) << 8);
    return text;
}

std::string Encode(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::wstring Join(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\r\n";
    return text;
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Mutations of a real snapshot, one kind per call.
class Mutator {
public:
    Mutator(unsigned seed, std::vector<std::string> services) : m_rng(seed) {
        for (const std::string& service : services) m_services.push_back(Wide(service));
        const std::wstring s = L"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\";
        m_hostile = {s + L"TarveloVictim\\Parameters\\Tcpip]",
                     s + L"TarveloVictim]",
                     s + L"Tcpip]",
                     s + L"Tcpip\\Parameters\\Interfaces]",
                     s + L"NetBT\\Parameters\\Interfaces]",
                     s + L"NoSuchService\\Parameters\\Tcpip]",
                     L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]",
                     L"[-" + s.substr(1) + m_services[0] + L"\\Parameters\\Tcpip]",
                     L"\"ImagePath\"=hex(2):63,00,3a,00,5c,00,78,00,00,00",
                     L"\"Start\"=dword:00000002",
                     L"\"DataBasePath\"=hex(2):5c,00,5c,00,78,00,00,00",
                     L"\"Hostname\"=-",
                     L"\"IPAddress\"=hex(6):31,00,00,00",
                     L"\"IPAddress\"=hex(0):",
                     L"\"EnableDHCP\"=hex(4):00,00,00",
                     L"\"EnableDHCP\"=hex(b):00,00,00,00,00,00,00,00",
                     L"\"NameServer\"=\"1.1.1.1\"",
                     L"@=-",
                     L"\"IPAddress\"=hex(7):31,00,00,00,00,00"};
    }

    std::string Mutate(const std::string& original) {
        std::string bytes = original;
        for (int n = Number(1, 3); n > 0; --n) bytes = Once(bytes);
        return bytes;
    }

    std::map<std::string, int> counts;  // mutations applied, by kind

private:
    int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }
    size_t Index(size_t size) {
        return size == 0 ? 0 : static_cast<size_t>(Number(0, static_cast<int>(size) - 1));
    }

    wchar_t ControlCharacter() {
        const wchar_t choices[] = {0, 0, 1, 9, 10, 13, 0x1B, 0x1F, 0x7F, 0x85, 0x9F};
        return choices[Index(std::size(choices))];
    }

    // A position inside a key or value name of some line, or npos.
    size_t NamePosition(const std::wstring& line) {
        if (line.size() > 2 && line[0] == L'[') return 1 + Index(line.size() - 2);
        const size_t close = line.find(L'"', 1);
        if (line.size() > 1 && line[0] == L'"' && close != std::wstring::npos) return 1 + Index(close);
        return std::wstring::npos;
    }

    std::string Once(const std::string& bytes) {
        std::wstring text = Decode(bytes);
        std::vector<std::wstring> lines = Lines(text);
        const size_t at = Index(lines.size());
        switch (Number(0, 13)) {
            case 0: {  // bytes
                ++counts["bytes"];
                std::string out = bytes;
                for (int n = Number(1, 4); n > 0 && !out.empty(); --n) {
                    const size_t i = Index(out.size());
                    switch (Number(0, 3)) {
                        case 0:
                            out[i] = static_cast<char>(Number(0, 255));
                            break;
                        case 1:
                            out.insert(out.begin() + i, static_cast<char>(Number(0, 255)));
                            break;
                        case 2:
                            out.erase(i, 1);
                            break;
                        default:
                            out.resize(i);
                            break;
                    }
                }
                return out;
            }
            case 1:  // lines deleted, repeated or swapped
                ++counts["lines"];
                if (lines.size() < 2) break;
                switch (Number(0, 2)) {
                    case 0:
                        lines.erase(lines.begin() + at);
                        break;
                    case 1:
                        lines.insert(lines.begin() + at, lines[Index(lines.size())]);
                        break;
                    default:
                        std::swap(lines[at], lines[Index(lines.size())]);
                        break;
                }
                break;
            case 2:  // hostile lines
                ++counts["hostile lines"];
                lines.insert(lines.begin() + at, m_hostile[Index(m_hostile.size())]);
                break;
            case 3:
            case 4: {  // control characters and NULs in names
                ++counts["names"];
                const size_t position = NamePosition(lines[at]);
                if (position != std::wstring::npos)
                    lines[at].insert(lines[at].begin() + position, ControlCharacter());
                break;
            }
            case 5: {  // another type
                ++counts["types"];
                const size_t type = lines[at].find(L"=hex(");
                if (type != std::wstring::npos) {
                    const size_t close = lines[at].find(L')', type);
                    const wchar_t* types[] = {L"0", L"1", L"2", L"3", L"4",   L"5",
                                              L"6", L"7", L"8", L"b", L"ffff"};
                    lines[at].replace(type + 5, close - type - 5, types[Index(std::size(types))]);
                } else if (lines[at].find(L"=dword:") != std::wstring::npos) {
                    lines[at].replace(lines[at].find(L"=dword:"), 7, Number(0, 1) ? L"=hex:" : L"=hex(4):");
                }
                break;
            }
            case 6: {  // sizes: bytes added or removed from a hex run
                ++counts["sizes"];
                const size_t colon = lines[at].find(L"):");
                if (colon == std::wstring::npos) break;
                const int size = Number(0, 3) == 0 ? Number(2000, 150000) : Number(1, 5);
                std::wstring run;
                for (int i = 0; i < size; ++i) run += L",41";
                if (Number(0, 1))
                    lines[at] += run;
                else if (lines[at].size() > colon + 5)
                    lines[at].resize(lines[at].size() - 3);
                break;
            }
            case 7: {  // hex digits and commas
                ++counts["hex runs"];
                const size_t colon = lines[at].find(L':');
                if (colon == std::wstring::npos || colon + 1 >= lines[at].size()) break;
                const size_t i = colon + 1 + Index(lines[at].size() - colon - 1);
                const wchar_t replacements[] = {L'g', L',', L' ', L'F', L'0', L'\\', L'-'};
                lines[at][i] = replacements[Index(std::size(replacements))];
                break;
            }
            case 8:  // continuations
                ++counts["continuations"];
                if (!lines[at].empty() && lines[at].back() == L'\\')
                    lines[at].pop_back();
                else if (lines[at].rfind(L"  ", 0) == 0)
                    lines[at].erase(0, Number(1, 2));
                else
                    lines[at] += Number(0, 1) ? L",\\" : L"\\";
                break;
            case 9: {  // encodings
                ++counts["encodings"];
                std::string out;
                switch (Number(0, 3)) {
                    case 0:  // ASCII, the way a plain text editor would save it
                        for (const wchar_t c : text) out += static_cast<char>(c);
                        return out;
                    case 1:  // UTF-8 with its mark
                        out = "\xEF\xBB\xBF";
                        for (const wchar_t c : text) out += static_cast<char>(c);
                        return out;
                    case 2:  // big-endian
                        out = "\xFE\xFF";
                        for (const wchar_t c : text)
                            out += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
                        return out;
                    default:  // no byte-order mark
                        return bytes.substr(2);
                }
            }
            case 10: {  // another service in a section: unknown, a victim, another case
                ++counts["services"];
                for (std::wstring& line : lines)
                    for (const std::wstring& service : m_services) {
                        const size_t found = line.find(service);
                        if (found == std::wstring::npos || Number(0, 1)) continue;
                        std::wstring other = Number(0, 2) == 0   ? L"TarveloVictim"
                                             : Number(0, 1) == 0 ? m_services[Index(m_services.size())]
                                                                 : service;
                        if (other == service)
                            for (wchar_t& c : other) c = static_cast<wchar_t>(towlower(c));
                        line.replace(found, service.size(), other);
                    }
                break;
            }
            case 11: {  // line ends
                ++counts["line ends"];
                const size_t end = text.find(L"\r\n");
                return Encode(Number(0, 1) && end != std::wstring::npos ? text.replace(end, 2, L"\n")
                                                                        : text + L"\r");
            }
            case 12: {  // absent values and deleted keys
                ++counts["absent values"];
                const size_t equals = lines[at].find(L"\"=");
                if (equals != std::wstring::npos) lines[at] = lines[at].substr(0, equals + 2) + L"-";
                break;
            }
            default:  // a value moved to another key
                ++counts["moved values"];
                if (lines.size() > 2 && lines[at].rfind(L"\"", 0) == 0) {
                    const std::wstring value = lines[at];
                    lines.erase(lines.begin() + at);
                    lines.insert(lines.begin() + Index(lines.size()), value);
                }
                break;
        }
        return Encode(Join(lines));
    }

    std::mt19937 m_rng;
    std::vector<std::wstring> m_services;
    std::vector<std::wstring> m_hostile;
};

// "key|value" (lower case) of every value a restore may write for the services, with
// the type it must have.
std::map<std::string, DWORD> AllowedValues(const std::vector<std::string>& services) {
    std::map<std::string, DWORD> allowed = {{Lower(std::string(kTcpipParameters) + "|NameServer"), REG_SZ}};
    for (const std::string& service : services) {
        for (const std::string& key : {AdapterTcpipKey(service), InterfaceKey(service)}) {
            for (const char* name : {"IPAddress", "SubnetMask", "DefaultGateway"})
                allowed[Lower(key + "|" + name)] = REG_MULTI_SZ;
            allowed[Lower(key + "|NameServer")] = REG_SZ;
            allowed[Lower(key + "|EnableDHCP")] = REG_DWORD;
        }
        allowed[Lower(NetbtInterfaceKey(service) + "|NameServerList")] = REG_MULTI_SZ;
        allowed[Lower(NetbtAdapterKey(service) + "|NameServer")] = REG_SZ;
        allowed[Lower(NetbtAdapterKey(service) + "|NamerServerBackup")] = REG_SZ;
    }
    return allowed;
}

// What the accepted run changed outside the allow-list (another value, or an allowed
// one with another type or size); empty when nothing.
std::vector<std::string> OutsideAllowList(const Snapshot& before, const Snapshot& after,
                                          const std::map<std::string, DWORD>& allowed) {
    std::vector<std::string> outside;
    if (before.keys != after.keys) outside.push_back("keys added or removed");
    for (const auto& [name, value] : after.values) {
        const auto old = before.values.find(name);
        if (old != before.values.end() && old->second == value) continue;
        const auto rule = allowed.find(name);
        if (rule == allowed.end()) outside.push_back(name);
        // Snapshots of the registry are read with the ANSI calls: a text of at most 4 KiB
        // in UTF-16 is never longer in ANSI bytes.
        else if (value.type != rule->second || value.data.size() > 4096 ||
                 (rule->second == REG_DWORD && value.data.size() != 4))
            outside.push_back(name + " (type or size)");
    }
    for (const auto& [name, value] : before.values)
        if (after.values.count(name) == 0 && allowed.count(name) == 0) outside.push_back(name);
    return outside;
}

}  // namespace

// Arguments: [runs] [seed]. Returns 0 when no run crashed, hung, changed anything while
// refused or wrote outside the allow-list.
int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    const unsigned seed =
        argc > 2 ? static_cast<unsigned>(strtoul(argv[2], nullptr, 10)) : std::random_device()();

    std::vector<SeedAdapter> adapters = TwoAdapterMachine();
    for (SeedAdapter& a : adapters) a.dhcpEnabled = true;
    const std::string victim = std::string(kServices) + "TarveloVictim";
    const std::vector<std::string> roots = {kServicesRoot, kCardsRoot};
    const Snapshot original = CaptureTrees(roots);
    const ScopedFileCopy dhcpClient(BuildPath("adapter_tool\\tests\\double\\dhcpcsvc.dll"),
                                    SystemDirectory() + "\\dhcpcsvc.dll");
    const ScopedDllOverride nativeDhcpClient("dhcpcsvc", "native");
    if (!dhcpClient.Placed() || !SeedMachine(adapters) ||
        !PutValue(victim, "ImagePath", StringValue("C:\\windows\\system32\\victim.exe")) ||
        !PutValue(victim + "\\Parameters\\Tcpip", "IPAddress", MultiStringValue({"10.7.7.7"}))) {
        printf("cannot put the DHCP client double in place or seed the registry\n");
        return 1;
    }
    const std::vector<std::string> services = EnumeratedServices();
    const std::string tool = "\"" + ModuleDirectory() + "bin\\Adapset.exe\"";
    const std::string log = ArtifactPath("adapset-restore-reliability-notify.log");
    const Environment environment = {{"ADAPSET_DOUBLE_LOG", log}};

    // Real snapshots: the tool's own, saved before configuration runs of both adapters.
    const std::wstring dataFolder = SettingsSnapshot::TarveloDataFolder().Value();
    const std::string backups = std::string(dataFolder.begin(), dataFolder.end()) + "\\Backups";
    RemoveFolderTree(backups);
    const Snapshot seeded = CaptureTrees(roots);
    for (const char* arguments : {" 1 10.1.1.1 255.255.0.0 10.1.1.254 1.1.1.1 2.2.2.2 3.3.3.3 4.4.4.4",
                                  " 2 10.2.2.2 * * 5.5.5.5,6.6.6.6 * 7.7.7.7"})
        RunProcess(tool + arguments, "", 30000, environment);
    std::vector<std::string> sources;
    for (const std::string& name : FolderFileNames(backups))
        sources.push_back(ReadFileBytes(backups + "\\" + name));
    RestoreTrees(roots, seeded);
    if (sources.size() != 2) {
        printf("the tool saved %zu snapshots instead of 2\n", sources.size());
        RestoreTrees(roots, original);
        return 1;
    }

    const std::map<std::string, DWORD> allowed = AllowedValues(services);
    const std::string file = ArtifactPath("adapset-restore-reliability.reg");
    Mutator mutator(seed, services);
    std::mt19937 pick(seed + 1);
    TreeWatch servicesWatch(kServicesRoot), cardsWatch(kCardsRoot);
    std::map<DWORD, int> statuses;
    int crashes = 0, hangs = 0, refused = 0, refusedChanged = 0, accepted = 0, acceptedOutside = 0,
        unwatched = 0;
    for (int run = 0; run < runs; ++run) {
        const std::string bytes = mutator.Mutate(sources[pick() % sources.size()]);
        std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
        DeleteFileA(log.c_str());
        if (!servicesWatch.Arm() || !cardsWatch.Arm()) ++unwatched;
        const ProcessResult result = RunProcess(tool + " /restore \"" + file + "\"", "", 30000, environment);
        const bool changed = servicesWatch.Fired() || cardsWatch.Fired();
        ++statuses[result.exitCode];
        const bool crashed = !result.timedOut && result.exitCode >= 0xC0000000;
        crashes += crashed;
        hangs += result.timedOut;
        if (crashed || result.timedOut)
            printf("%s (status 0x%08lX), run %d\n", result.timedOut ? "hung" : "crashed",
                   static_cast<unsigned long>(result.exitCode), run);
        if (result.exitCode == 0 || result.exitCode == 29) {
            ++accepted;
            const Snapshot after = CaptureTrees(roots);
            const std::vector<std::string> outside = OutsideAllowList(seeded, after, allowed);
            if (!outside.empty()) {
                ++acceptedOutside;
                printf("accepted run %d wrote outside the allow-list: %s\n", run, outside[0].c_str());
            }
        } else {
            ++refused;
            // The watch also fires for Wine's own bookkeeping: a change counts only when
            // the trees differ from the seed.
            if (changed && !SnapshotDifferences(seeded, CaptureTrees(roots)).empty()) {
                ++refusedChanged;
                printf("refused run %d (status %lu) changed the registry: %s\n", run,
                       static_cast<unsigned long>(result.exitCode), result.output.c_str());
            }
        }
        if (changed) RestoreTrees(roots, seeded);
    }
    RestoreTrees(roots, original);
    RemoveFolderTree(backups);
    DeleteFileA(file.c_str());

    printf("Adapset.exe /restore, %d runs on files mutated from the tool's 2 real snapshots (seed %u)\n",
           runs, seed);
    printf("mutations:");
    for (const auto& [kind, count] : mutator.counts) printf(" %s (%d)", kind.c_str(), count);
    printf("\ncrashes: %d, hangs: %d, runs not watched: %d\n", crashes, hangs, unwatched);
    printf("refused runs that changed anything under Services or NetworkCards: %d of %d\n", refusedChanged,
           refused);
    printf("accepted runs (status 0 or 29) that wrote outside the allow-list: %d of %d\n", acceptedOutside,
           accepted);
    printf("statuses seen:");
    for (const auto& [status, count] : statuses)
        printf(" %lu (%d)", static_cast<unsigned long>(status), count);
    printf("\n");
    return crashes == 0 && hangs == 0 && refusedChanged == 0 && acceptedOutside == 0 && unwatched == 0 ? 0
                                                                                                       : 1;
}
