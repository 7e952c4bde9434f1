// The C library's printf family for Adapset, given to the system's C runtime. Under
// MinGW-w64 every printf and snprintf of C++ code goes to the library's own formatter,
// which brings its floating-point conversions along (about 25 KB). The tool's texts use
// only %s, %d, %u, %ld, %lu and %%, which the system's runtime formats the same way, so
// the two entry points those calls reach are defined here and the formatter stays out.
// Keep the tool's formats to those conversions (no ll, z or floating point).
#include <cstdarg>
#include <cstddef>
#include <cstdio>

extern "C" {

// The system runtime's forms (the C++ headers declare only the first).
int __ms_vfprintf(FILE* stream, const char* format, va_list arguments);
int __ms_vsnprintf(char* buffer, size_t capacity, const char* format, va_list arguments);

int __mingw_vfprintf(FILE* stream, const char* format, va_list arguments) {
    return __ms_vfprintf(stream, format, arguments);
}

// C99 behaviour: the text is always terminated, the result is the full length.
int __mingw_vsnprintf(char* buffer, size_t capacity, const char* format, va_list arguments) {
    return __ms_vsnprintf(buffer, capacity, format, arguments);
}

}  // extern "C"
