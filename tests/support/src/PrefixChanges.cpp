// Prefix and build locations, and scoped changes to the test prefix.
#include "test_support/PrefixChanges.h"

#include <cstdlib>

namespace TestSupport {

namespace {

constexpr DWORD kRetryMs = 15000;
const char kDllOverrides[] = "Software\\Wine\\DllOverrides";

// Retries a file operation while the file is still in use (a program that has not
// quite ended yet).
template <typename Operation>
bool Retry(Operation operation) {
    for (const DWORD start = GetTickCount(); !operation(); Sleep(100))
        if (GetTickCount() - start >= kRetryMs) return false;
    return true;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::string BuildPath(const std::string& relative) {
    const char* build = std::getenv("TARVELO_BUILD_DIR");
    return build != nullptr && *build != '\0' ? std::string(build) + "\\" + relative : std::string();
}

std::string WindowsDirectory() {
    char path[MAX_PATH] = "";
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

std::string SystemDirectory() {
    char path[MAX_PATH] = "";
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

ScopedFileCopy::ScopedFileCopy(const std::string& source, const std::string& target) : m_target(target) {
    if (source.empty() || target.empty() || !FileExists(source)) return;
    if (FileExists(target)) {
        // Numbered, so that copies over the same file can nest.
        static unsigned backups = 0;
        m_backup = target + ".tarvelo-saved-" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(++backups);
        if (!CopyFileA(target.c_str(), m_backup.c_str(), FALSE)) {
            m_backup.clear();
            return;
        }
    }
    m_placed = Retry([&] { return CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE; });
}

ScopedFileCopy::~ScopedFileCopy() {
    if (!m_backup.empty()) {
        if (Retry([&] { return CopyFileA(m_backup.c_str(), m_target.c_str(), FALSE) != FALSE; }))
            DeleteFileA(m_backup.c_str());
    } else if (m_placed) {
        Retry([&] { return DeleteFileA(m_target.c_str()) != FALSE; });
    }
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::string& path, const std::string& name,
                                         const RawValue& value)
    : m_root(root), m_path(path), m_name(name), m_previous(ReadRawValue(root, path, name)) {
    WriteRawValue(root, path, name, value);
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (m_previous)
        WriteRawValue(m_root, m_path, m_name, *m_previous);
    else
        RegDeleteKeyValueA(m_root, m_path.c_str(), m_name.c_str());
}

ScopedDllOverride::ScopedDllOverride(const std::string& module, const std::string& setting)
    : ScopedRegistryValue(HKEY_CURRENT_USER, kDllOverrides, module, StringValue(setting)) {}

ScopedScreenDpi::ScopedScreenDpi(DWORD dpi)
    : ScopedRegistryValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", DwordValue(dpi)) {}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const std::string& name, const std::string& value)
    : m_name(name) {
    char previous[32768];
    const DWORD length = GetEnvironmentVariableA(name.c_str(), previous, sizeof previous);
    if (length > 0 && length < sizeof previous) m_previous = std::string(previous, length);
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    SetEnvironmentVariableA(m_name.c_str(), m_previous ? m_previous->c_str() : nullptr);
}

}  // namespace TestSupport
