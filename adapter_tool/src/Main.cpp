// Adapset: lists the network adapters, or rewrites one adapter's static TCP/IP
// settings and notifies the DHCP client, or restores a snapshot of them. The exit
// status follows the outcome.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AccessRefusal.h"
#include "AdapterConfiguration.h"
#include "AdapterListing.h"
#include "ConnectionCheckRun.h"
#include "RunDecision.h"
#include "SnapshotRestore.h"
#include "win_base/ProcessHardening.h"

// The C runtime's own split of the wide command line, by the same rules as the narrow
// argv it hands to main; no shell32 needed, so a run does not load it.
struct CrtStartupInfo {
    int newMode;
};
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int expandWildcards,
                              CrtStartupInfo* startupInfo);

namespace {

// The command line's arguments after the program as UTF-16, so that a name survives
// whatever the code page lacks; empty when the C runtime cannot give them.
std::vector<std::wstring> WideArguments() {
    int count = 0;
    wchar_t** arguments = nullptr;
    wchar_t** environment = nullptr;
    CrtStartupInfo startupInfo{0};
    if (__wgetmainargs(&count, &arguments, &environment, 0, &startupInfo) != 0 || arguments == nullptr) {
        return {};
    }
    return count > 1 ? std::vector<std::wstring>(arguments + 1, arguments + count)
                     : std::vector<std::wstring>();
}

// Does what the decision says; returns the exit status and whether an open was refused.
RunStatus Act(const RunDecision& decision, const std::vector<std::wstring>& wideArguments) {
    switch (decision.action) {
        case kShowUsage:
            return PrintUsage();
        case kRefuse:
            printf("%s", RefusalMessage(decision.refusal).c_str());
            return {kRefusedStatus};
        case kListSnapshots:
            return {ListSnapshots()};
        case kRestore:
            return RestoreSnapshot(wideArguments.size() > 1 ? wideArguments[1] : std::wstring());
        case kCheck:
            return {CheckConnection(decision.checkedService, decision.parameters[kAdapterName])};
        case kConfigure:
            break;
    }
    return ConfigureAdapter(*decision.settings);
}

}  // namespace

// Reads the command line, then lists, refuses, configures, restores or checks the
// connection; a refused registry open adds the elevation hint after the run's own message.
int main(int argc, char* argv[]) {
    WinBase::RestrictDllSearchToSystem();
    AdapterTable table;
    BuildAdapterTable(&table);
    const std::vector<std::wstring> wideArguments = WideArguments();
    RunStatus run = Act(DecideRun(argc - 1, argv + 1, table, wideArguments), wideArguments);
    run.accessRefused = run.accessRefused || table.accessRefused;
    return FinishWithAccessHint(run, stderr);
}
