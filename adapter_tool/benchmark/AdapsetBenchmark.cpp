// Times one configuration run of Adapset.exe end to end (process start, adapter
// table, snapshot of the values it changes written and flushed to the backup folder,
// five registry locations, DHCP notification through the recording double in the
// system directory) against a minimal program doing the same system work with raw
// Win32 calls: it reads the same values, writes and flushes a file of the size of the
// tool's snapshot, then makes the same registry writes. The same program without the
// snapshot shows what the snapshot costs. Prints the medians and the ratio; the order
// of the programs is reversed every other round. Run it under the build's wine-run; it
// puts the registry, the backup folder and the system directory back.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "test_support/PrefixChanges.h"
#include "test_support/TestMachine.h"
#include "test_support/Process.h"

using namespace TestSupport;

namespace {

// Wall time of one run of the command line, in milliseconds; negative on failure. The
// program starts detached from any console, its output going to NUL: under Wine a
// console program started without one waits for a console host about half the time
// (8 or 40 ms for an empty program), which would swing the medians, not show our work.
double TimedRun(const std::string& commandLine, const std::string& directory) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                   OPEN_EXISTING, 0, nullptr);
    if (nul == INVALID_HANDLE_VALUE) return -1;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    std::string line = commandLine;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                                        nullptr, directory.c_str(), &startup, &process);
    DWORD exitCode = 1;
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        QueryPerformanceCounter(&end);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(nul);
    if (!started || exitCode != 0) {
        printf("run failed (%s): %s\n", started ? ("exit " + std::to_string(exitCode)).c_str() : "not started",
               commandLine.c_str());
        return -1;
    }
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The backup folder both programs write their snapshot files to.
std::string BackupFolder() {
    char programData[MAX_PATH] = "";
    GetEnvironmentVariableA("ProgramData", programData, MAX_PATH);
    return std::string(programData) + "\\Tarvelo\\Backups";
}

// Size of the newest of the tool's snapshot files in the folder; 0 when there is none.
DWORD NewestToolSnapshotBytes(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    const HANDLE find = FindFirstFileA((folder + "\\*-adapset-*.reg").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    FILETIME newest{};
    DWORD bytes = 0;
    do {
        if (CompareFileTime(&found.ftLastWriteTime, &newest) >= 0) {
            newest = found.ftLastWriteTime;
            bytes = found.nFileSizeLow;
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return bytes;
}

// Deletes the files of the folder that are not in before.
void DeleteNewFiles(const std::string& folder, const std::vector<std::string>& before) {
    for (const std::string& name : FolderFileNames(folder))
        if (std::find(before.begin(), before.end(), name) == before.end())
            DeleteFileA((folder + "\\" + name).c_str());
}

// Deletes the baseline's files from the folder, so that the tool finds there only what
// a machine of its own would hold.
void DeleteBaselineFiles(const std::string& folder) {
    for (const std::string& name : FolderFileNames(folder))
        if (name.rfind("baseline-", 0) == 0) DeleteFileA((folder + "\\" + name).c_str());
}

// Pause between runs.
constexpr DWORD kSettleMs = 50;

struct Program {
    const char* label;
    std::string commandLine;
    std::vector<double> times;
};

}  // namespace

// Seeds, runs the programs in turn, prints the result; returns 0 when every run worked.
// Plants our snapshot files in the folder until it holds `count` of them: names of the
// tool's pattern for one adapter (the first of them its original), each with a write
// time of its own, 3 KB each like a real one.
void PlantSnapshots(const std::string& folder, const std::string& service, size_t count) {
    CreateDirectoryA(folder.substr(0, folder.rfind('\\')).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string bytes(3242, 'x');
    for (size_t i = FolderFileNames(folder).size(); i < count; ++i) {
        char name[96];
        snprintf(name, sizeof name, "2026%02u%02u-%02u%02u00-adapset-%s%s.reg", unsigned(1 + i / 500 % 12),
                 unsigned(1 + i / 20 % 25), unsigned(i / 4 % 20), unsigned(i % 60), service.c_str(),
                 i == 0 ? "-original" : "");
        const std::string path = folder + "\\" + name;
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ULARGE_INTEGER time{};
        time.QuadPart = 134000000000000000ull + i * 600000000ull;
        const FILETIME at{time.LowPart, time.HighPart};
        SetFileTime(file, nullptr, nullptr, &at);
        CloseHandle(file);
    }
}

// The registry trees a benchmark changes on the seeded machine, put back afterwards.
std::vector<std::string> SeededRoots(const std::vector<SeedAdapter>& adapters) {
    std::vector<std::string> roots = {kNetworkCards, kTcpipParameters, kNetbt};
    for (const SeedAdapter& a : adapters) roots.push_back(kServices + a.service);
    return roots;
}

// "listing": times "Adapset /restore" (the listing with each snapshot's date, kind and
// adapter) on a folder of 20 snapshots, then of 500; the target is within 1.5x.
int ListingBenchmark(int runs) {
    const std::vector<SeedAdapter> adapters = TwoAdapterMachine();
    const std::vector<std::string> roots = SeededRoots(adapters);
    const Snapshot original = CaptureTrees(roots);
    const std::string backups = BackupFolder();
    const std::vector<std::string> backupsBefore = FolderFileNames(backups);
    if (!SeedMachine(adapters)) {
        printf("cannot seed the registry\n");
        return 1;
    }
    const std::string dir = TestSupport::ModuleDirectory();
    const std::string listing = "\"" + dir + "bin\\Adapset.exe\" /restore";
    std::vector<double> medians;
    std::vector<size_t> counts;
    bool ok = true;
    for (const size_t count : {size_t{20}, size_t{500}}) {
        PlantSnapshots(backups, EnumeratedServices().at(0), count);
        counts.push_back(FolderFileNames(backups).size());
        std::vector<double> times;
        ok = ok && TimedRun(listing, dir) >= 0;  // warm-up
        for (int i = 0; ok && i < runs; ++i) {
            times.push_back(TimedRun(listing, dir));
            ok = times.back() >= 0;
            Sleep(kSettleMs);
        }
        if (ok) medians.push_back(Median(times));
    }
    RestoreTrees(roots, original);
    DeleteNewFiles(backups, backupsBefore);
    if (!ok) {
        printf("a run failed\n");
        return 1;
    }
    printf("Adapset /restore (listing), median of %d runs each\n", runs);
    for (size_t i = 0; i < medians.size(); ++i)
        printf("%4zu snapshots: median %6.1f ms\n", counts[i], medians[i]);
    const double ratio = medians[1] / medians[0];
    printf("500 against 20: %.2fx (target: under 1.5x): %s\n", ratio, ratio < 1.5 ? "met" : "missed");
    return 0;
}

int main(int argc, char* argv[]) {
    if (argc > 1 && strcmp(argv[1], "listing") == 0)
        return ListingBenchmark(argc > 2 ? std::max(1, atoi(argv[2])) : 30);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
    const std::vector<SeedAdapter> adapters = TwoAdapterMachine();
    const std::vector<std::string> roots = SeededRoots(adapters);
    const Snapshot original = CaptureTrees(roots);
    const std::string backups = BackupFolder();
    const std::vector<std::string> backupsBefore = FolderFileNames(backups);
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
    const std::string raw = "\"" + dir + "bin\\RawRegistryWrites.exe\" " + service + settings;
    Program tool{"Adapset, one configuration run:  ", "\"" + dir + "bin\\Adapset.exe\" 1" + settings, {}};

    // Warm-up; the second run's snapshot holds the values every later run finds.
    bool ok = TimedRun(tool.commandLine, dir) >= 0 && TimedRun(tool.commandLine, dir) >= 0;
    const DWORD snapshotBytes = NewestToolSnapshotBytes(backups);
    ok = ok && snapshotBytes > 0;
    Program baseline{"raw, same reads and snapshot file:", raw + " " + std::to_string(snapshotBytes), {}};
    Program writesOnly{"raw registry writes only:         ", raw, {}};
    ok = ok && TimedRun(baseline.commandLine, dir) >= 0 && TimedRun(writesOnly.commandLine, dir) >= 0;
    for (int i = 0; ok && i < runs; ++i) {
        std::vector<Program*> order = {&tool, &baseline, &writesOnly};
        if (i % 2 == 1) std::reverse(order.begin(), order.end());
        for (Program* program : order) {
            program->times.push_back(TimedRun(program->commandLine, dir));
            ok = ok && program->times.back() >= 0;
            DeleteBaselineFiles(backups);
            // Under Wine a program started right after another one ended often starts
            // 30 to 50 ms late, before its first instruction; a short pause keeps that
            // common delay out of the medians.
            Sleep(kSettleMs);
        }
    }
    RestoreTrees(roots, original);
    DeleteNewFiles(backups, backupsBefore);
    if (!ok) {
        printf("a run failed\n");
        return 1;
    }
    printf("median of %d runs each, the order reversed every other round; snapshot %lu bytes\n", runs,
           static_cast<unsigned long>(snapshotBytes));
    for (const Program* program : {&tool, &baseline, &writesOnly})
        printf("%s median %6.1f ms\n", program->label, Median(program->times));
    const double ratio = Median(tool.times) / Median(baseline.times);
    printf("ratio to the like-for-like baseline: %.2fx (target: within 1.10x): %s\n", ratio,
           ratio <= 1.10 ? "met" : "missed");
    printf("the snapshot (reads, file written and flushed) costs the baseline %.1f ms\n",
           Median(baseline.times) - Median(writesOnly.times));
    return 0;
}
