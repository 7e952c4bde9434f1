// Access-refusal note of Adapset.
#include "AccessRefusal.h"

const char kElevationHint[] =
    "Access to the registry was refused: run Adapset from an elevated command prompt "
    "(Run as administrator).\n";

namespace {

bool accessRefused = false;

}  // namespace

LONG NoteOpenStatus(LONG status) {
    if (status == ERROR_ACCESS_DENIED) accessRefused = true;
    return status;
}

int FinishWithAccessHint(int exitStatus, FILE* stream) {
    if (accessRefused) {
        fflush(stdout);  // the hint comes after everything the run printed
        fputs(kElevationHint, stream);
        fflush(stream);
    }
    return exitStatus;
}
