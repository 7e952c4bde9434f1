// A child that takes its time and records that it ran (TARVELO_SLEEPER_LOG). It
// sleeps for TARVELO_SLEEPER_MS milliseconds when that is set, so it can stand in
// for a program whose arguments mean something else; otherwise for the number on
// its command line (default 3000).
#include <cstdlib>

#include "RecordingLog.h"

int main(int argc, char** argv) {
    AppendInvocationRecord("TARVELO_SLEEPER_LOG");
    const char* fromEnvironment = std::getenv("TARVELO_SLEEPER_MS");
    const char* duration = fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment
                           : argc > 1                                             ? argv[1]
                                                                                  : "3000";
    Sleep(static_cast<DWORD>(std::strtoul(duration, nullptr, 10)));
    return 0;
}
