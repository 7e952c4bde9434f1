// Stands in for the system's network shell: records how it was called and changes
// nothing. The log file is named by TARVELO_NETSH_LOG.
#include "RecordingLog.h"

int main() {
    AppendInvocationRecord("TARVELO_NETSH_LOG");
    return 0;
}
