// Adapset: lists the network adapters, or rewrites one adapter's static TCP/IP
// settings and notifies the DHCP client. The exit status follows the outcome.
#include <cstdio>

#include "AdapsetRules.h"
#include "AdapterConfiguration.h"
#include "AdapterListing.h"

// Reads the command line, then lists, refuses or configures; returns the exit status.
int main(int argc, char* argv[]) {
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
    const char* const* p = decision.parameters;
    return ConfigureAdapter(decision.serviceName, p[kIpAddress], p[kMask], p[kGateway], p[kNameServer1],
                            p[kNameServer2], p[kWinsServer1], p[kWinsServer2]);
}
