#include "platform/ApplyLogFile.h"

#include <windows.h>

#include <cstdio>

#include "platform/UniqueHandle.h"
#include "apply/WideText.h"
#include "settings_snapshot/DataFolder.h"

namespace {

// "2026-12-08 22:04:01 " in local time.
std::wstring LocalTimeStamp() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t stamp[32] = L"";
    std::swprintf(stamp, 32, L"%04u-%02u-%02u %02u:%02u:%02u ", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return stamp;
}

}  // namespace

std::optional<std::wstring> CApplyLogFile::DefaultPath() {
    const SettingsSnapshot::Outcome<std::wstring> folder = SettingsSnapshot::TarveloDataFolder();
    if (!folder) return std::nullopt;
    if (!::CreateDirectoryW(folder.Value().c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return std::nullopt;
    return folder.Value() + L"\\TarveloIP.log";
}

void CApplyLogFile::Write(const std::wstring& line) noexcept {
    if (!m_path) return;
    try {
        const std::string bytes = ToUtf8(LocalTimeStamp() + line + L"\r\n");
        // Appending access only: every write lands at the end, even with another writer.
        const HANDLE raw =
            ::CreateFileW(m_path->c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (raw == INVALID_HANDLE_VALUE) return;
        const UniqueHandle file(raw);
        DWORD written = 0;
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    } catch (...) {
        // Out of memory for one line: the line is lost, the job goes on.
    }
}
