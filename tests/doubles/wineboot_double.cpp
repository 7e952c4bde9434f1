// Stands in for Wine's session-end helper, which Wine runs when a program asks for a
// restart: records the request instead of ending the test's programs. The log file
// is named by TARVELO_WINEBOOT_LOG; TARVELO_WINEBOOT_STATUS, when set, is the exit
// status, with which a failed session end can be played.
#include <cstdlib>

#include "RecordingLog.h"

int main() {
    AppendInvocationRecord("TARVELO_WINEBOOT_LOG");
    const char* status = std::getenv("TARVELO_WINEBOOT_STATUS");
    return status != nullptr ? std::atoi(status) : 0;
}
