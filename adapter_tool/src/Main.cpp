// Adapset: lists the network adapters, or rewrites one adapter's static TCP/IP
// settings and notifies the DHCP client, or restores a snapshot of them. The exit
// status follows the outcome.
#include <windows.h>

#include <cstdio>
#include <string>

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

// Argument n of the command line (the program is 0) as UTF-16, so that a name survives
// whatever the code page lacks; empty when there is none.
std::wstring WideArgument(int n) {
    int count = 0;
    wchar_t** arguments = nullptr;
    wchar_t** environment = nullptr;
    CrtStartupInfo startupInfo{0};
    if (__wgetmainargs(&count, &arguments, &environment, 0, &startupInfo) != 0 || arguments == nullptr) {
        return std::wstring();
    }
    return n < count ? std::wstring(arguments[n]) : std::wstring();
}

// Reads the command line, then lists, refuses, configures, restores or checks the
// connection; returns the exit status.
int Run(int argc, char* argv[]) {
    AdapterTable table;
    BuildAdapterTable(&table);
    if (argc >= 2 && _stricmp(argv[1], kCheckSwitch) == 0) {
        if (argc != 3) {
            printf("Usage: adapset /check adapterName\n");
            return kRefusedStatus;
        }
        return CheckConnection(argv[2], WideArgument(2), table);
    }
    const RunDecision decision = DecideRun(argc - 1, argv + 1, table, WideArgument(1));
    switch (decision.action) {
        case kShowUsage:
            return PrintUsage();
        case kRefuse:
            printf("%s", RefusalMessage(decision.refusal).c_str());
            return kRefusedStatus;
        case kListSnapshots:
            return ListSnapshots();
        case kRestore:
            return RestoreSnapshot(WideArgument(2));
        case kConfigure:
            break;
    }
    return ConfigureAdapter(*decision.settings);
}

}  // namespace

// A refused registry open adds the elevation hint after the run's own message.
int main(int argc, char* argv[]) {
    WinBase::RestrictDllSearchToSystem();
    return FinishWithAccessHint(Run(argc, argv), stderr);
}
