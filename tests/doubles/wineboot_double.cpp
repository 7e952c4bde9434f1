// Stands in for Wine's session-end helper, which Wine runs when a program asks for a
// restart: records the request instead of ending the test's programs. The log file
// is named by TARVELO_WINEBOOT_LOG.
#include "RecordingLog.h"

int main() {
    AppendInvocationRecord("TARVELO_WINEBOOT_LOG");
    return 0;
}
