// Conversions of the C library's printf that Adapset never asks for, left out of the
// program: floating-point numbers (the gdtoa routines, about 10 KB here) and wide
// characters or strings in narrow output (%lc, %ls: wcrtomb and mbrtowc, about 4 KB).
// printf refers to these entry points; defined here, the library's versions stay out.
// Reaching one would be a fault of the program; it says so and aborts.
#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

[[noreturn]] void Unused(const char* what) {
    std::fprintf(stderr, "%s output is not part of this program\n", what);
    std::abort();
}

}  // namespace

extern "C" {

char* __gdtoa(void*, int, void*, int*, int, int, int*, char**) {
    Unused("floating-point");
}

void __freedtoa(char*) {
    Unused("floating-point");
}

size_t wcrtomb(char*, wchar_t, mbstate_t*) {
    Unused("wide-character");
}

size_t mbrtowc(wchar_t*, const char*, size_t, mbstate_t*) {
    Unused("wide-character");
}

}  // extern "C"
