// Access-refusal note of Adapset.
#include "AccessRefusal.h"

const char kElevationHint[] =
    "Access to the registry was refused: run Adapset from an elevated command prompt "
    "(Run as administrator).\n";

bool IsAccessRefusal(LONG status) {
    return status == ERROR_ACCESS_DENIED;
}

int FinishWithAccessHint(const RunStatus& run, FILE* stream) {
    if (run.accessRefused) {
        fflush(stdout);  // the hint comes after everything the run printed
        fputs(kElevationHint, stream);
        fflush(stream);
    }
    return run.exitStatus;
}
