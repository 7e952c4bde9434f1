// Stands in for the system's network shell: records how it was called and changes
// nothing. The log file is named by TARVELO_NETSH_LOG. A run whose command line holds the
// text of TARVELO_NETSH_FAIL (when set) exits with status 1, as the shell does when it
// refuses a command.
#include <cstdlib>
#include <cstring>

#include "RecordingLog.h"

int main() {
    AppendInvocationRecord("TARVELO_NETSH_LOG");
    const char* const failing = std::getenv("TARVELO_NETSH_FAIL");
    if (failing != nullptr && *failing != '\0' && std::strstr(GetCommandLineA(), failing) != nullptr)
        return 1;
    return 0;
}
