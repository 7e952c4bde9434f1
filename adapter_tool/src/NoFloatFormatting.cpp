// The C library's printf turns floating-point numbers into text with the gdtoa routines
// (about 28 KB with their helpers). Adapset prints no floating-point number: defined
// here, the two entry points printf calls keep those routines out of the program.
// Reaching one would be a fault of the program; it says so and aborts.
#include <cstdio>
#include <cstdlib>

extern "C" {

char* __gdtoa(void*, int, void*, int*, int, int, int*, char**) {
    std::fputs("floating-point output is not part of this program\n", stderr);
    std::abort();
}

void __freedtoa(char*) {
    std::abort();
}

}  // extern "C"
