// The C++ runtime's throw helpers, for a program that catches no exception. The
// standard library calls them where it would throw (a string too long, memory
// exhausted); in Adapset nothing would catch that exception, so the end is the same:
// the terminate handler's message, then abort(). Defined here, they keep the runtime's
// versions out, and with them its copy-on-write strings and exception classes (about
// 30 KB). Every helper of that runtime object is defined, so it is never linked as well.
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Terminate(const char* type, const char* what) {
    std::fprintf(stderr, "terminate called after throwing an instance of '%s'\n  what():  %s\n", type, what);
    std::abort();
}

}  // namespace

namespace std {

void __throw_bad_exception() {
    Terminate("std::bad_exception", "std::bad_exception");
}
void __throw_bad_alloc() {
    Terminate("std::bad_alloc", "std::bad_alloc");
}
void __throw_bad_array_new_length() {
    Terminate("std::bad_array_new_length", "std::bad_array_new_length");
}
void __throw_bad_cast() {
    Terminate("std::bad_cast", "std::bad_cast");
}
void __throw_bad_typeid() {
    Terminate("std::bad_typeid", "std::bad_typeid");
}
void __throw_logic_error(const char* what) {
    Terminate("std::logic_error", what);
}
void __throw_domain_error(const char* what) {
    Terminate("std::domain_error", what);
}
void __throw_invalid_argument(const char* what) {
    Terminate("std::invalid_argument", what);
}
void __throw_length_error(const char* what) {
    Terminate("std::length_error", what);
}
void __throw_out_of_range(const char* what) {
    Terminate("std::out_of_range", what);
}
// The message's format is shown as it stands: its values are not needed to see the fault.
void __throw_out_of_range_fmt(const char* format, ...) {
    Terminate("std::out_of_range", format);
}
void __throw_runtime_error(const char* what) {
    Terminate("std::runtime_error", what);
}
void __throw_range_error(const char* what) {
    Terminate("std::range_error", what);
}
void __throw_overflow_error(const char* what) {
    Terminate("std::overflow_error", what);
}
void __throw_underflow_error(const char* what) {
    Terminate("std::underflow_error", what);
}

}  // namespace std
