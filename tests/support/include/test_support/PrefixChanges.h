// Where things are in the test prefix and the build, and changes to the prefix that
// are put back at the end: a file put in place, a DLL load-order setting, an
// environment variable. Recording stand-ins for platform programs and DLLs are put in
// place with them.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "test_support/RegistryFixture.h"

namespace TestSupport {

// A path inside the build tree named by TARVELO_BUILD_DIR ("" when it is not set).
std::string BuildPath(const std::string& relative);
// The Windows directory and the system directory, without a trailing backslash.
std::string WindowsDirectory();
std::string SystemDirectory();

// Puts a copy of a file at a path and, at the end, puts back what was there before
// (the original, or nothing). A target still in use is retried for a while.
class ScopedFileCopy {
public:
    ScopedFileCopy(const std::string& source, const std::string& target);
    ~ScopedFileCopy();
    ScopedFileCopy(const ScopedFileCopy&) = delete;
    ScopedFileCopy& operator=(const ScopedFileCopy&) = delete;

    bool Placed() const { return m_placed; }

private:
    std::string m_target;
    std::string m_backup;  // empty when nothing was there
    bool m_placed = false;
};

// A load-order setting in HKCU\Software\Wine\DllOverrides, put back as it was at the
// end. A program copied over one of Wine's own runs only with "native" set here: the
// per-program AppDefaults keys do not select the native copy of a program.
class ScopedDllOverride {
public:
    ScopedDllOverride(const std::string& module, const std::string& setting);
    ~ScopedDllOverride();
    ScopedDllOverride(const ScopedDllOverride&) = delete;
    ScopedDllOverride& operator=(const ScopedDllOverride&) = delete;

private:
    std::string m_module;
    std::optional<RawValue> m_previous;
};

// Sets an environment variable of this process (so programs it starts inherit it)
// and takes it away again at the end.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const std::string& name, const std::string& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string m_name;
};

}  // namespace TestSupport
