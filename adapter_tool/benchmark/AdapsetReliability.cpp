// Reliability run of Adapset.exe: thousands of random argument vectors against a seeded
// machine, some with one of adapter 1's keys made read-only, with the recording DHCP
// client double in the system directory. Counts crashes and hangs, runs that changed
// the registry although they wrote nothing by design (refused input, refused keys,
// listing, unknown adapter), and the exit statuses seen. Run it under the build's
// wine-run (scripts/adapset-reliability.sh does); it puts everything back.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "test_support/PrefixChanges.h"
#include "test_support/Process.h"
#include "test_support/RegistryFixture.h"
#include "test_support/TestMachine.h"

using namespace TestSupport;

namespace {

// One argument as the C runtime reads it back: quoted, with backslashes before a
// quote doubled and the quote escaped.
std::string Quoted(const std::string& argument) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

// Random arguments: mostly near the rules (addresses good and bad, lists, stars, empty
// text, adapter numbers, service names), sometimes arbitrary bytes.
class ArgumentGenerator {
public:
    ArgumentGenerator(unsigned seed, std::vector<std::string> services) : m_rng(seed), m_services(services) {}

    // Half the vectors are plausible: settings that are mostly addresses, stars or empty.
    std::vector<std::string> Vector() {
        const bool plausible = Number(0, 1) == 0;
        std::vector<std::string> arguments(Number(0, 10));
        for (size_t i = 0; i < arguments.size(); ++i)
            arguments[i] = i == 0 && plausible ? KnownAdapter()
                           : i == 0            ? Adapter()
                           : plausible         ? Plausible()
                                               : Setting();
        return arguments;
    }

private:
    int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }

    std::string Address() {
        std::string address;
        const int fields = Number(0, 9) == 0 ? Number(1, 6) : 4;
        for (int f = 0; f < fields; ++f)
            address += (f ? "." : "") + std::to_string(Number(0, Number(0, 5) == 0 ? 999 : 255));
        if (Number(0, 15) == 0)
            address.insert(address.begin() + Number(0, static_cast<int>(address.size())), '0');
        return address;
    }

    std::string ValidAddress() {
        std::string address;
        for (int f = 0; f < 4; ++f) address += (f ? "." : "") + std::to_string(Number(0, 255));
        return address;
    }

    std::string KnownAdapter() {
        switch (Number(0, 3)) {
            case 0:
                return "*";
            case 1:
                return m_services[Number(0, static_cast<int>(m_services.size()) - 1)];
            default:
                return std::to_string(Number(1, 2));
        }
    }

    std::string Plausible() {
        switch (Number(0, 9)) {
            case 0:
                return "";
            case 1:
                return "*";
            case 2:
                return ValidAddress() + "," + ValidAddress();
            case 3:
                return Setting();
            default:
                return ValidAddress();
        }
    }

    std::string Bytes() {
        std::string bytes(Number(1, Number(0, 3) == 0 ? 300 : 20), ' ');
        for (char& c : bytes) c = static_cast<char>(Number(1, 255));
        return bytes;
    }

    std::string Adapter() {
        switch (Number(0, 7)) {
            case 0:
                return "*";
            case 1:
                return std::to_string(Number(0, 4)) + (Number(0, 3) == 0 ? "x" : "");
            case 2:
                return m_services[Number(0, static_cast<int>(m_services.size()) - 1)];
            case 3:
                return "NoSuchService";
            case 4:
                return std::string(Number(100, 200), 'S');
            case 5:
                return "Tcpip\\Parameters";
            case 6:
                return Number(0, 1) ? "" : Bytes();
            default:
                return Setting();  // a one-argument run takes it as the address
        }
    }

    std::string Setting() {
        switch (Number(0, 9)) {
            case 0:
                return "";
            case 1:
                return std::string("*") + (Number(0, 1) ? "" : Address());
            case 2: {
                std::string list = Address();
                for (int n = Number(1, Number(0, 3) == 0 ? 12 : 2); n > 0; --n) list += "," + Address();
                return list;
            }
            case 3:
                return Address() + (Number(0, 1) ? " " : ";") + Address();
            case 4:
                return Bytes();
            default:
                return Address();
        }
    }

    std::mt19937 m_rng;
    std::vector<std::string> m_services;
};

// What is left of a run to judge it by.
struct Outcome {
    DWORD status = 0;
    bool crashed = false;
    bool notStarted = false;
    bool hung = false;
    bool changedRegistry = false;
    bool notified = false;
    bool listing = false;
};

}  // namespace

// Arguments: [runs] [seed]. Returns 0 when no run crashed, hung, or changed the
// registry without configuring.
int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    const unsigned seed =
        argc > 2 ? static_cast<unsigned>(strtoul(argv[2], nullptr, 10)) : std::random_device()();

    std::vector<SeedAdapter> adapters = TwoAdapterMachine();
    for (SeedAdapter& a : adapters) a.dhcpEnabled = true;
    std::vector<std::string> roots = {kNetworkCards, kTcpipParameters, kNetbt,
                                      std::string(kServices) + "NoSuchService"};
    for (const SeedAdapter& a : adapters) roots.push_back(kServices + a.service);
    const Snapshot original = CaptureTrees(roots);
    const ScopedFileCopy dhcpClient(BuildPath("adapter_tool\\tests\\double\\dhcpcsvc.dll"),
                                    SystemDirectory() + "\\dhcpcsvc.dll");
    const ScopedDllOverride nativeDhcpClient("dhcpcsvc", "native");
    if (!dhcpClient.Placed() || !SeedMachine(adapters)) {
        printf("cannot put the DHCP client double in place or seed the registry\n");
        return 1;
    }
    const std::vector<std::string> services = EnumeratedServices();
    const Snapshot seeded = CaptureTrees(roots);
    const std::string tool = "\"" + ModuleDirectory() + "bin\\Adapset.exe\"";
    const std::string log = ArtifactPath("adapset-reliability-notify.log");
    const std::string first = services.at(0);
    const std::vector<std::string> lockable = {AdapterTcpipKey(first), InterfaceKey(first), kTcpipParameters,
                                               NetbtInterfaceKey(first), NetbtAdapterKey(first)};

    ArgumentGenerator generator(seed, services);
    std::mt19937 lockChoice(seed + 1);
    std::map<DWORD, int> statuses;
    int crashes = 0, hangs = 0, notStarted = 0, locked = 0, refused = 0, refusedChanged = 0, quiet = 0,
        quietChanged = 0, configured = 0;
    for (int run = 0; run < runs; ++run) {
        std::string commandLine = tool;
        for (const std::string& argument : generator.Vector()) commandLine += " " + Quoted(argument);
        std::unique_ptr<ScopedKeySecurity> readOnly;
        if (lockChoice() % 8 == 0) {
            readOnly = std::make_unique<ScopedKeySecurity>(HKEY_LOCAL_MACHINE,
                                                           lockable[lockChoice() % lockable.size()]);
            ++locked;
        }
        DeleteFileA(log.c_str());
        const ProcessResult result = RunProcess(commandLine, "", 30000, {{"ADAPSET_DOUBLE_LOG", log}});
        readOnly.reset();

        Outcome outcome;
        outcome.status = result.exitCode;
        outcome.hung = result.timedOut;
        // RunProcess gives all ones when the program could not be started at all.
        outcome.notStarted = !result.timedOut && result.exitCode == ~0u;
        outcome.crashed = !result.timedOut && !outcome.notStarted && result.exitCode >= 0xC0000000;
        outcome.changedRegistry = !SnapshotDifferences(seeded, CaptureTrees(roots)).empty();
        outcome.notified = !ReadFileBytes(log).empty();
        outcome.listing = result.output.find("Usage: adapset") != std::string::npos;
        ++statuses[outcome.status];
        crashes += outcome.crashed;
        hangs += outcome.hung;
        notStarted += outcome.notStarted;
        const bool refusal = outcome.status == 160 || outcome.status == 5;
        const bool wrote = !refusal && !outcome.listing && (outcome.status == 0 || outcome.status == 29);
        if (refusal) {
            ++refused;
            refusedChanged += outcome.changedRegistry || outcome.notified;
        } else if (!wrote && !outcome.crashed && !outcome.hung && !outcome.notStarted) {
            ++quiet;
            quietChanged += outcome.changedRegistry || outcome.notified;
        } else if (wrote) {
            ++configured;
        }
        if ((refusal || !wrote) && (outcome.changedRegistry || outcome.notified))
            printf("changed the registry without configuring: %s\n", commandLine.c_str());
        if (outcome.crashed || outcome.hung)
            printf("%s (status 0x%08lX): %s\n", outcome.hung ? "hung" : "crashed",
                   static_cast<unsigned long>(outcome.status), commandLine.c_str());
        if (outcome.changedRegistry) RestoreTrees(roots, seeded);
    }
    RestoreTrees(roots, original);

    printf(
        "Adapset.exe, %d random argument vectors (seed %u), %d of them with one of adapter 1's keys "
        "read-only\n",
        runs, seed, locked);
    printf("crashes: %d, hangs: %d, runs that could not be started: %d\n", crashes, hangs, notStarted);
    printf("refused runs (status 160 or 5) that changed the registry or notified: %d of %d\n", refusedChanged,
           refused);
    printf("listing and unknown-adapter runs that changed the registry or notified: %d of %d\n", quietChanged,
           quiet);
    printf("runs that configured (status 0 or 29): %d\n", configured);
    printf("statuses seen:");
    for (const auto& [status, count] : statuses)
        printf(" %lu (%d)", static_cast<unsigned long>(status), count);
    printf("\n");
    return crashes == 0 && hangs == 0 && refusedChanged == 0 && quietChanged == 0 ? 0 : 1;
}
