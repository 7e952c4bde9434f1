// The C++ runtime's throw helpers for TarveloIP. The runtime's own versions throw
// std::logic_error and its kin, whose constructors bring in the runtime's copy-on-write
// strings and more exception classes (about 30 KB). The wizard catches such a fault only
// as a std::exception (each dialog shows what() and stays), so these throw an exception
// of that base class with the same what() text. Every helper of that runtime object is
// defined, so it is never linked as well.
#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <typeinfo>

namespace __gnu_cxx {
// The runtime's small formatter for the out-of-range message (%s, %zu and %%).
int __snprintf_lite(char* buffer, std::size_t capacity, const char* format, va_list arguments);
}  // namespace __gnu_cxx

namespace {

// A fault the standard library reports, carrying its message text.
class LibraryFault : public std::exception {
public:
    explicit LibraryFault(const char* what) noexcept {
        std::size_t length = 0;
        for (; what[length] != '\0' && length + 1 < sizeof m_what; ++length) m_what[length] = what[length];
        m_what[length] = '\0';
    }
    const char* what() const noexcept override { return m_what; }

private:
    char m_what[256];
};

[[noreturn]] void Throw(const char* what) {
    throw LibraryFault(what);
}

}  // namespace

namespace std {

void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_logic_error(const char* what) {
    Throw(what);
}
void __throw_domain_error(const char* what) {
    Throw(what);
}
void __throw_invalid_argument(const char* what) {
    Throw(what);
}
void __throw_length_error(const char* what) {
    Throw(what);
}
void __throw_out_of_range(const char* what) {
    Throw(what);
}
void __throw_out_of_range_fmt(const char* format, ...) {
    char what[256];
    va_list arguments;
    va_start(arguments, format);
    __gnu_cxx::__snprintf_lite(what, sizeof what, format, arguments);
    va_end(arguments);
    Throw(what);
}
void __throw_runtime_error(const char* what) {
    Throw(what);
}
void __throw_range_error(const char* what) {
    Throw(what);
}
void __throw_overflow_error(const char* what) {
    Throw(what);
}
void __throw_underflow_error(const char* what) {
    Throw(what);
}

}  // namespace std
