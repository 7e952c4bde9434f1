// A child that takes its time: sleeps for the number of milliseconds on its command
// line (default 3000) and records that it ran (TARVELO_SLEEPER_LOG).
#include <cstdlib>

#include "RecordingLog.h"

int main(int argc, char** argv) {
    AppendInvocationRecord("TARVELO_SLEEPER_LOG");
    Sleep(argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 3000);
    return 0;
}
