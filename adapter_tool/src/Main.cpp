// Adapset: lists the network adapters, or rewrites one adapter's static TCP/IP
// settings and notifies the DHCP client. The exit status follows the outcome.
#include <cstdio>

#include "AccessRefusal.h"
#include "AdapterConfiguration.h"
#include "AdapterListing.h"
#include "RunDecision.h"

namespace {

// Reads the command line, then lists, refuses or configures; returns the exit status.
int Run(int argc, char* argv[]) {
    AdapterTable table;
    BuildAdapterTable(&table);
    const RunDecision decision = DecideRun(argc - 1, argv + 1, table);
    switch (decision.action) {
        case kShowUsage:
            return PrintUsage();
        case kRefuse:
            printf("%s", RefusalMessage(decision.refusal).c_str());
            return kRefusedStatus;
        case kConfigure:
            break;
    }
    return ConfigureAdapter(*decision.settings);
}

}  // namespace

// A refused registry open adds the elevation hint after the run's own message.
int main(int argc, char* argv[]) {
    return FinishWithAccessHint(Run(argc, argv), stderr);
}
