#include "settings_snapshot/BackupFolder.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

#include "DecimalText.h"
#include "Win32Handles.h"
#include "settings_snapshot/DataFolder.h"
#include "settings_snapshot/SnapshotFile.h"

namespace SettingsSnapshot {
namespace {

constexpr size_t kStampLength = 15;  // yyyyMMdd-HHmmss
constexpr unsigned kMaxCounter = 1000;
const wchar_t kExtension[] = L".reg";

std::wstring Stamp(const SYSTEMTIME& t) {
    return DecimalText(t.wYear, 4) + DecimalText(t.wMonth, 2) + DecimalText(t.wDay, 2) + L"-" +
           DecimalText(t.wHour, 2) + DecimalText(t.wMinute, 2) + DecimalText(t.wSecond, 2);
}

// The tag as a file name part: characters a file name cannot hold become "_".
std::wstring FileNameTag(const std::wstring& tag) {
    std::wstring safe = tag;
    for (wchar_t& c : safe)
        if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c) != nullptr) c = L'_';
    return safe;
}

// Creates the folder and each missing parent; the Win32 error when it is not a folder
// afterwards.
DWORD CreateFolders(const std::wstring& path) {
    for (size_t pos = path.find(L'\\'); pos != std::wstring::npos; pos = path.find(L'\\', pos + 1))
        if (pos > 0 && path[pos - 1] != L':' && path[pos - 1] != L'\\')
            CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
    const DWORD error = CreateDirectoryW(path.c_str(), nullptr) ? ERROR_SUCCESS : GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return ERROR_SUCCESS;
    return error == ERROR_ALREADY_EXISTS ? ERROR_DIRECTORY : error;
}

bool IsStamp(const std::wstring& text) {
    if (text.size() < kStampLength) return false;
    for (size_t i = 0; i < kStampLength; ++i)
        if (i == 8 ? text[i] != L'-' : !iswdigit(text[i])) return false;
    return true;
}

// The entry for a file name of ours with a tag starting with tagPrefix.
std::optional<SnapshotFileEntry> Entry(const std::wstring& folder, const std::wstring& name,
                                       const std::wstring& tagPrefix) {
    const size_t extension = name.size() - (std::size(kExtension) - 1);
    if (name.size() < kStampLength + 1 + std::size(kExtension) || !IsStamp(name) ||
        name[kStampLength] != L'-' || _wcsicmp(name.c_str() + extension, kExtension) != 0)
        return std::nullopt;
    const std::wstring tag = name.substr(kStampLength + 1, extension - kStampLength - 1);
    if (tag.compare(0, tagPrefix.size(), tagPrefix) != 0) return std::nullopt;
    SnapshotFileEntry entry{folder + L"\\" + name, name, name.substr(0, kStampLength), 1};
    const size_t dash = tag.rfind(L'-');
    if (dash != std::wstring::npos && dash + 1 < tag.size() &&
        std::all_of(tag.begin() + dash + 1, tag.end(), [](wchar_t c) { return iswdigit(c); }))
        entry.counter = static_cast<unsigned>(std::wcstoul(tag.c_str() + dash + 1, nullptr, 10));
    return entry;
}

}  // namespace

BackupFolder::BackupFolder(std::wstring path) : m_path(std::move(path)) {
    while (m_path.size() > 3 && m_path.back() == L'\\') m_path.pop_back();
}

Outcome<BackupFolder> BackupFolder::Default() {
    const Outcome<std::wstring> folder = TarveloDataFolder();
    if (!folder) return folder.Error();
    return BackupFolder(folder.Value() + L"\\Backups");
}

Outcome<std::wstring> BackupFolder::Save(const std::wstring& tag, const std::vector<BYTE>& bytes,
                                         const SYSTEMTIME& localTime) const {
    const std::wstring stem = m_path + L"\\" + Stamp(localTime) + L"-" + FileNameTag(tag);
    const std::wstring first = stem + kExtension;
    const DWORD folderError = CreateFolders(m_path);
    if (folderError != ERROR_SUCCESS)
        return Failure{first, L"cannot create the folder " + m_path, folderError};
    for (unsigned counter = 1; counter <= kMaxCounter; ++counter) {
        const std::wstring path = counter == 1 ? first : stem + L"-" + DecimalText(counter) + kExtension;
        std::optional<Failure> failure = WriteNewFile(path, bytes);
        if (!failure) return path;
        if (failure->error != ERROR_FILE_EXISTS && failure->error != ERROR_ALREADY_EXISTS) return *failure;
    }
    return Failure{first, L"too many snapshots named alike", ERROR_FILE_EXISTS};
}

Outcome<std::wstring> BackupFolder::Save(const std::wstring& tag, const std::vector<BYTE>& bytes) const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return Save(tag, bytes, now);
}

std::vector<SnapshotFileEntry> BackupFolder::List(const std::wstring& tagPrefix) const {
    std::vector<SnapshotFileEntry> entries;
    WIN32_FIND_DATAW found{};
    const HANDLE raw = FindFirstFileW((m_path + L"\\*").c_str(), &found);
    if (raw == INVALID_HANDLE_VALUE) return entries;
    const UniqueFind find(raw);
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        if (auto entry = Entry(m_path, found.cFileName, FileNameTag(tagPrefix)))
            entries.push_back(std::move(*entry));
    } while (FindNextFileW(find.get(), &found));
    std::sort(entries.begin(), entries.end(), [](const SnapshotFileEntry& a, const SnapshotFileEntry& b) {
        if (a.stamp != b.stamp) return a.stamp > b.stamp;
        if (a.counter != b.counter) return a.counter > b.counter;
        return a.name < b.name;
    });
    return entries;
}

std::optional<Failure> BackupFolder::Prune(const std::wstring& tagPrefix, size_t keep) const {
    const std::vector<SnapshotFileEntry> entries = List(tagPrefix);
    std::optional<Failure> first;
    for (size_t i = keep; i < entries.size(); ++i)
        if (!DeleteFileW(entries[i].path.c_str()) && !first)
            first = Failure{entries[i].path, L"cannot delete the old snapshot", GetLastError()};
    return first;
}

}  // namespace SettingsSnapshot
