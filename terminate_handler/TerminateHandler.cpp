// Replaces the C++ runtime's default terminate handler (libstdc++'s verbose handler,
// which std::terminate calls unless a program installs its own). Linked into a program,
// this definition is found before the runtime's archive is searched, so the runtime's
// version and the demangler it calls stay out of the program. Same message as the
// default: the type of the active exception and, for a std::exception, its what();
// then abort().
#include <cxxabi.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

namespace {

// The readable name of a class whose mangled name consists of plain names only
// ("St13runtime_error", "N12BrenlowTools12CRegistryKey9ExceptionE"), written into
// text; false for any other form (templates, built-in types, ...) or when it does not
// fit.
bool ReadablePlainName(const char* mangled, char* text, size_t capacity) {
    const char* p = mangled;
    const bool nested = *p == 'N';
    if (nested) ++p;
    size_t used = 0;
    int names = 0;
    auto append = [&](const char* from, size_t count) {
        if (count >= capacity - used) return false;
        for (size_t i = 0; i < count; ++i) text[used++] = from[i];
        text[used] = '\0';
        return true;
    };
    if (p[0] == 'S' && p[1] == 't') {
        if (!append("std", 3)) return false;
        p += 2;
        ++names;
    }
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        size_t length = 0;
        while (std::isdigit(static_cast<unsigned char>(*p)))
            length = length * 10 + static_cast<size_t>(*p++ - '0');
        for (size_t i = 0; i < length; ++i)
            if (p[i] == '\0') return false;
        if ((names > 0 && !append("::", 2)) || !append(p, length)) return false;
        p += length;
        ++names;
    }
    if (nested && *p++ != 'E') return false;
    return *p == '\0' && names > 0 && (nested || names == 1 + (mangled[0] == 'S'));
}

}  // namespace

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    static bool terminating = false;
    if (terminating) {
        std::fputs("terminate called recursively\n", stderr);
        std::abort();
    }
    terminating = true;
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (type == nullptr) {
        std::fputs("terminate called without an active exception\n", stderr);
        std::abort();
    }
    char readable[256];
    const char* mangled = type->name();
    std::fputs("terminate called after throwing an instance of '", stderr);
    std::fputs(ReadablePlainName(mangled, readable, sizeof readable) ? readable : mangled, stderr);
    std::fputs("'\n", stderr);
    try {
        throw;
    } catch (const std::exception& exception) {
        std::fputs("  what():  ", stderr);
        std::fputs(exception.what(), stderr);
        std::fputs("\n", stderr);
    } catch (...) {
    }
    std::abort();
}

}  // namespace __gnu_cxx
