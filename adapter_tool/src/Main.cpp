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
#include "AdapterNumbers.h"
#include "ConnectionCheckRun.h"
#include "RunDecision.h"
#include "SnapshotRestore.h"
#include "win_base/ProcessHardening.h"
#include "win_base/WideArguments.h"

namespace {

// Does what the decision says; returns the exit status and whether an open was refused.
RunStatus Act(const RunDecision& decision, const std::vector<std::wstring>& wideArguments,
              const AdapterTable& table) {
    switch (decision.action) {
        case kShowUsage:
            return PrintUsage();
        case kRefuse:
            printf("%s", RefusalMessage(decision.refusal).c_str());
            return {kRefusedStatus};
        case kListSnapshots:
            return {ListSnapshots(table)};
        case kRestore:
            return RestoreSnapshot(wideArguments.size() > 1 ? wideArguments[1] : std::wstring());
        case kCheck:
            return {CheckConnection(decision.checkedService, decision.parameters[kAdapterName])};
        case kRestoreOriginal:
            return RestoreOriginal(decision.parameters[kAdapterName], wideArguments.size() > 2 ? wideArguments[2] : std::wstring(), table);
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
    BuildAdapterTable(&table, argc < 2 || !IsAdapterNumber(argv[1]));
    // The arguments after the program, in UTF-16, aligned with argv + 1.
    std::vector<std::wstring> wideArguments = WinBase::WideArguments();
    if (!wideArguments.empty()) wideArguments.erase(wideArguments.begin());
    RunStatus run = Act(DecideRun(argc - 1, argv + 1, table, wideArguments), wideArguments, table);
    run.accessRefused = run.accessRefused || table.accessRefused;
    return FinishWithAccessHint(run, stderr);
}
