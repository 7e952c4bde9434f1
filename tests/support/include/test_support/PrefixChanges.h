// Where things are in the test prefix and the build, and changes to the prefix that
// are put back at the end: a file put in place, a registry value (a DLL load-order
// setting, the screen DPI), an environment variable. Recording stand-ins for platform programs and DLLs are
// put in place with them.
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

// A registry value set for as long as the object lives, put back as it was at the end
// (the old bytes, or no value).
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, const std::string& path, const std::string& name, const RawValue& value);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

private:
    HKEY m_root;
    std::string m_path, m_name;
    std::optional<RawValue> m_previous;
};

// A load-order setting in HKCU\Software\Wine\DllOverrides, put back as it was at the
// end. A program copied over one of Wine's own runs only with "native" set here: the
// per-program AppDefaults keys do not select the native copy of a program.
class ScopedDllOverride : public ScopedRegistryValue {
public:
    ScopedDllOverride(const std::string& module, const std::string& setting);
};

// The screen DPI that wizard processes started from now on see (Wine reads
// HKCU\Control Panel\Desktop LogPixels when a process starts), put back at the end.
class ScopedScreenDpi : public ScopedRegistryValue {
public:
    explicit ScopedScreenDpi(DWORD dpi);
};

// Sets an environment variable of this process (so programs it starts inherit it)
// and puts back its earlier value (or none) at the end.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const std::string& name, const std::string& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

}  // namespace TestSupport
