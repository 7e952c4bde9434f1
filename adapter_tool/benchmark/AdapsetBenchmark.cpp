// Times one configuration run of Adapset.exe end to end (process start, adapter
// table, five registry locations, DHCP notification through the recording double in
// the system directory) against a minimal program that makes the same registry writes
// with raw Win32 calls, on a seeded machine; prints both medians and their ratio. Run
// it under the build's wine-run; it puts the registry and the system directory back.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "test_support/PrefixChanges.h"
#include "test_support/TestMachine.h"
#include "test_support/Process.h"

using namespace TestSupport;

namespace {

// Wall time of one run of the command line, in milliseconds; negative on failure.
double TimedRun(const std::string& commandLine, const std::string& directory) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const TestSupport::ProcessResult result = TestSupport::RunProcess(commandLine, directory);
    QueryPerformanceCounter(&end);
    if (result.exitCode != 0 || result.timedOut) return -1;
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

// Seeds, runs both programs in turn, prints the result; returns 0 when every run worked.
int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 40;
    const std::vector<SeedAdapter> adapters = TwoAdapterMachine();
    std::vector<std::string> roots = {kNetworkCards, kTcpipParameters, kNetbt};
    for (const SeedAdapter& a : adapters) roots.push_back(kServices + a.service);
    const Snapshot original = CaptureTrees(roots);
    const ScopedFileCopy dhcpClient(BuildPath("adapter_tool\\tests\\double\\dhcpcsvc.dll"),
                                    SystemDirectory() + "\\dhcpcsvc.dll");
    const ScopedDllOverride nativeDhcpClient("dhcpcsvc", "native");
    if (!dhcpClient.Placed()) {
        printf("cannot put the DHCP client double into the system directory\n");
        return 1;
    }
    if (!SeedMachine(adapters)) {
        printf("cannot seed the registry\n");
        return 1;
    }
    const std::string service = EnumeratedServices().at(0);
    const std::string dir = TestSupport::ModuleDirectory();
    const std::string settings = " 192.168.5.20 255.255.255.0 192.168.5.254 168.95.1.1,168.95.192.1";
    const std::string tool = "\"" + dir + "bin\\Adapset.exe\" 1" + settings;
    const std::string raw = "\"" + dir + "bin\\RawRegistryWrites.exe\" " + service + settings;

    std::vector<double> toolTimes, rawTimes;
    bool ok = TimedRun(tool, dir) >= 0 && TimedRun(raw, dir) >= 0;  // warm-up
    for (int i = 0; ok && i < runs; ++i) {
        toolTimes.push_back(TimedRun(tool, dir));
        rawTimes.push_back(TimedRun(raw, dir));
        ok = toolTimes.back() >= 0 && rawTimes.back() >= 0;
    }
    RestoreTrees(roots, original);
    if (!ok) {
        printf("a run failed\n");
        return 1;
    }
    const double toolMedian = Median(toolTimes), rawMedian = Median(rawTimes);
    printf("Adapset, one configuration run:   median %.1f ms over %d runs\n", toolMedian, runs);
    printf("raw Win32 registry writes:        median %.1f ms over %d runs\n", rawMedian, runs);
    printf("ratio: %.2fx (target: within 1.2x)\n", toolMedian / rawMedian);
    return 0;
}
