#include "platform/ApplyLogFile.h"

#include <windows.h>

#include "win_base/DecimalText.h"
#include "win_base/TextConversion.h"
#include "settings_snapshot/DataFolder.h"
#include "settings_snapshot/FolderSecurity.h"
#include "win_base/PrintableText.h"

namespace {

// "2026-12-08 22:04:01 " in local time.
std::wstring LocalTimeStamp() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    using WinBase::DecimalText;
    return DecimalText(now.wYear, 4) + L"-" + DecimalText(now.wMonth, 2) + L"-" + DecimalText(now.wDay, 2) +
           L" " + DecimalText(now.wHour, 2) + L":" + DecimalText(now.wMinute, 2) + L":" +
           DecimalText(now.wSecond, 2) + L" ";
}

constexpr size_t MaxFieldLength = 200;

// The log opened for appending, started anew first when it has grown past the limit.
SettingsSnapshot::Outcome<SettingsSnapshot::OwnedHandle> OpenForAppending(const std::wstring& path) {
    using SettingsSnapshot::OpenPlainFile;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    SettingsSnapshot::Outcome<SettingsSnapshot::OwnedHandle> file =
        OpenPlainFile(path, FILE_APPEND_DATA, share, OPEN_ALWAYS);
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Value().get(), &size) ||
        static_cast<unsigned long long>(size.QuadPart) <= CApplyLogFile::kRotateBytes)
        return file;
    file.Value().reset();
    ::MoveFileExW(path.c_str(), (path + L".1").c_str(), MOVEFILE_REPLACE_EXISTING);
    return OpenPlainFile(path, FILE_APPEND_DATA, share, OPEN_ALWAYS);
}

}  // namespace

std::wstring LogField(const std::wstring& text) {
    std::wstring field = WinBase::PrintableText(text);
    if (field.size() <= MaxFieldLength) return field;
    // Cut before an escape the limit would split.
    size_t cut = MaxFieldLength - 3;
    const size_t escape = field.rfind(L'\\', cut);
    if (escape != std::wstring::npos && cut - escape < 6) cut = escape;
    return field.substr(0, cut) + L"...";
}

std::optional<std::wstring> CApplyLogFile::DefaultPath() {
    const SettingsSnapshot::Outcome<std::wstring> folder = SettingsSnapshot::TarveloDataFolder();
    if (!folder) return std::nullopt;
    if (SettingsSnapshot::EnsureProtectedFolder(folder.Value(),
                                                SettingsSnapshot::TrustedOwners::ForThisProcess()))
        return std::nullopt;
    return folder.Value() + L"\\TarveloIP.log";
}

void CApplyLogFile::Write(const std::wstring& line) noexcept {
    try {
        if (!m_pathKnown) {
            m_path = DefaultPath();
            m_pathKnown = true;
        }
        if (!m_path) return;
        // One line whatever the text holds: a line break in it cannot forge another line.
        const std::string bytes =
            WinBase::Utf8FromWide(LocalTimeStamp() + WinBase::PrintableText(line) + L"\r\n");
        // Appending access only: every write lands at the end, even with another writer.
        const SettingsSnapshot::Outcome<SettingsSnapshot::OwnedHandle> file = OpenForAppending(*m_path);
        if (!file) return;
        DWORD written = 0;
        ::WriteFile(file.Value().get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    } catch (...) {
        // Out of memory for one line: the line is lost, the job goes on.
    }
}
