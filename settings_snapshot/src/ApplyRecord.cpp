#include "settings_snapshot/ApplyRecord.h"

#include <vector>

#include "settings_snapshot/FolderSecurity.h"
#include "settings_snapshot/SnapshotFile.h"

namespace SettingsSnapshot {
namespace {

constexpr size_t kMaxRecordBytes = 4096;

// A name the record may give: a plain file name of the backup folder.
bool IsSnapshotName(const std::wstring& name) {
    if (name.size() < 5 || _wcsicmp(name.c_str() + name.size() - 4, L".reg") != 0) return false;
    for (const wchar_t c : name)
        if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c) != nullptr) return false;
    return name != L"." && name != L"..";
}

bool IsServiceName(const std::wstring& name) {
    if (name.empty() || name.size() > 256) return false;
    for (const wchar_t c : name)
        if (c < 0x20 || c == L'\\') return false;
    return true;
}

}  // namespace

ApplyRecord::ApplyRecord(const BackupFolder& folder, const std::wstring& program)
    : m_folder(folder), m_path(folder.DataFolder() + L"\\unfinished-" + program + L".txt") {}

std::optional<Failure> ApplyRecord::Start(const std::wstring& service,
                                          const std::wstring& snapshotPath) const {
    const Outcome<OwnedHandle> record = Begin(service, snapshotPath);
    return record ? std::nullopt : std::optional<Failure>(record.Error());
}

Outcome<OwnedHandle> ApplyRecord::Begin(const std::wstring& service, const std::wstring& snapshotPath) const {
    const std::wstring name = snapshotPath.substr(snapshotPath.rfind(L'\\') + 1);
    if (!IsServiceName(service) || !IsSnapshotName(name)) return Failure{m_path, L"not a record of ours"};
    // The folder was checked by the save of the snapshot named; the file itself is
    // created without following a link, and its final path is checked.
    const std::wstring text = L"\xFEFF" + service + L"\r\n" + name + L"\r\n";
    std::vector<BYTE> bytes;
    for (const wchar_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    // A record left behind is replaced; it is rare, so only then is a removal tried.
    Outcome<OwnedHandle> record = WriteNewFileKeptOpen(m_path, bytes, DELETE);
    if (record || (record.Error().error != ERROR_FILE_EXISTS && record.Error().error != ERROR_ALREADY_EXISTS))
        return record;
    if (std::optional<Failure> cleared = Clear()) return *cleared;
    return WriteNewFileKeptOpen(m_path, bytes, DELETE);
}

std::optional<Failure> ApplyRecord::End(OwnedHandle record) const {
    FILE_DISPOSITION_INFO deleting{TRUE};
    if (!SetFileInformationByHandle(record.get(), FileDispositionInfo, &deleting, sizeof deleting))
        return Failure{m_path, L"cannot remove the record", GetLastError()};
    return std::nullopt;
}

std::optional<Failure> ApplyRecord::Clear() const {
    if (DeleteFileW(m_path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
        GetLastError() == ERROR_PATH_NOT_FOUND)
        return std::nullopt;
    return Failure{m_path, L"cannot remove the record", GetLastError()};
}

Outcome<std::optional<UnfinishedApply>> ApplyRecord::Find() const {
    if (GetFileAttributesW(m_path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND))
        return std::optional<UnfinishedApply>();
    if (std::optional<Failure> failure = CheckTrustedFolder(m_folder.DataFolder(), m_folder.Owners()))
        return *failure;
    {
        const Outcome<OwnedHandle> file = OpenPlainFile(m_path, READ_CONTROL, FILE_SHARE_READ, OPEN_EXISTING);
        if (!file) return file.Error();
        if (!HasTrustedOwner(file.Value().get(), m_folder.Owners()))
            return Failure{m_path, L"not owned by SYSTEM or the administrators"};
    }
    const Outcome<std::vector<BYTE>> bytes = ReadSnapshotFile(m_path);
    if (!bytes) return bytes.Error();
    const std::vector<BYTE>& data = bytes.Value();
    const Failure foreign{m_path, L"not a record of ours"};
    if (data.size() > kMaxRecordBytes || data.size() % 2 != 0 || data.size() < 2 || data[0] != 0xFF ||
        data[1] != 0xFE)
        return foreign;
    std::wstring text;
    for (size_t at = 2; at < data.size(); at += 2)
        text.push_back(static_cast<wchar_t>(data[at] | data[at + 1] << 8));
    const size_t first = text.find(L"\r\n");
    const size_t second = first == std::wstring::npos ? first : text.find(L"\r\n", first + 2);
    if (second == std::wstring::npos || second + 2 != text.size()) return foreign;
    UnfinishedApply record{text.substr(0, first), text.substr(first + 2, second - first - 2)};
    if (!IsServiceName(record.service) || !IsSnapshotName(record.snapshotPath)) return foreign;
    record.snapshotPath = m_folder.Path() + L"\\" + record.snapshotPath;
    return std::optional<UnfinishedApply>(std::move(record));
}

}  // namespace SettingsSnapshot
