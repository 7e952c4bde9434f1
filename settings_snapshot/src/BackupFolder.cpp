#include "settings_snapshot/BackupFolder.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "DecimalText.h"
#include "settings_snapshot/DataFolder.h"
#include "settings_snapshot/SnapshotFile.h"
#include "win_base/UniqueHandle.h"

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

bool IsStamp(const std::wstring& text) {
    if (text.size() < kStampLength) return false;
    for (size_t i = 0; i < kStampLength; ++i)
        if (i == 8 ? text[i] != L'-' : !iswdigit(text[i])) return false;
    return true;
}

// True for a file name of ours with a tag starting with tagPrefix.
bool IsOurName(const std::wstring& name, const std::wstring& tagPrefix) {
    if (name.size() < kStampLength + 1 + std::size(kExtension)) return false;
    const size_t extension = name.size() - (std::size(kExtension) - 1);
    if (!IsStamp(name) || name[kStampLength] != L'-' || _wcsicmp(name.c_str() + extension, kExtension) != 0)
        return false;
    return name.compare(kStampLength + 1, tagPrefix.size(), tagPrefix) == 0;
}

bool Newer(const FILETIME& a, const FILETIME& b) {
    return CompareFileTime(&a, &b) > 0;
}

}  // namespace

BackupFolder::BackupFolder(std::wstring dataFolder, TrustedOwners owners)
    : m_dataFolder(std::move(dataFolder)), m_owners(std::move(owners)) {
    while (m_dataFolder.size() > 3 && m_dataFolder.back() == L'\\') m_dataFolder.pop_back();
    m_path = m_dataFolder + L"\\Backups";
}

BackupFolder::BackupFolder(std::wstring dataFolder)
    : BackupFolder(std::move(dataFolder), TrustedOwners::ForThisProcess()) {}

Outcome<BackupFolder> BackupFolder::Default() {
    const Outcome<std::wstring> folder = TarveloDataFolder();
    if (!folder) return folder.Error();
    return BackupFolder(folder.Value());
}

std::optional<Failure> BackupFolder::PrepareFolders() const {
    for (const std::wstring* folder : {&m_dataFolder, &m_path})
        if (std::optional<Failure> failure = EnsureProtectedFolder(*folder, m_owners)) return failure;
    return std::nullopt;
}

Outcome<std::wstring> BackupFolder::Save(const std::wstring& tag, const std::vector<BYTE>& bytes,
                                         const SYSTEMTIME& localTime) const {
    if (std::optional<Failure> failure = PrepareFolders()) return *failure;
    return SaveInPrepared(tag, bytes, localTime);
}

Outcome<std::wstring> BackupFolder::SaveInPrepared(const std::wstring& tag, const std::vector<BYTE>& bytes,
                                                   const SYSTEMTIME& localTime) const {
    const std::wstring stem = m_path + L"\\" + Stamp(localTime) + L"-" + FileNameTag(tag);
    const std::wstring first = stem + kExtension;
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

Outcome<bool> BackupFolder::FoldersExist() const {
    for (const std::wstring* folder : {&m_dataFolder, &m_path}) {
        if (GetFileAttributesW(folder->c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetLastError() == ERROR_FILE_NOT_FOUND)
            return false;
        if (std::optional<Failure> failure = CheckTrustedFolder(*folder, m_owners)) return *failure;
    }
    return true;
}

std::vector<SnapshotFileEntry> BackupFolder::NamedFiles(const std::wstring& tagPrefix) const {
    std::vector<SnapshotFileEntry> entries;
    const std::wstring tag = FileNameTag(tagPrefix);
    WIN32_FIND_DATAW found{};
    const HANDLE raw = FindFirstFileW((m_path + L"\\*").c_str(), &found);
    if (raw == INVALID_HANDLE_VALUE) return entries;
    const WinBase::UniqueFind find(raw);
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
            !IsOurName(found.cFileName, tag))
            continue;
        entries.push_back(
            SnapshotFileEntry{m_path + L"\\" + found.cFileName, found.cFileName, found.ftLastWriteTime});
    } while (FindNextFileW(find.get(), &found));
    std::sort(entries.begin(), entries.end(), [](const SnapshotFileEntry& a, const SnapshotFileEntry& b) {
        if (CompareFileTime(&a.written, &b.written) != 0) return Newer(a.written, b.written);
        return a.name > b.name;
    });
    return entries;
}

bool BackupFolder::IsTrustedFile(const SnapshotFileEntry& entry) const {
    return static_cast<bool>(OpenTrusted(entry, 0));
}

OwnedHandle BackupFolder::OpenTrusted(const SnapshotFileEntry& entry, DWORD access) const {
    Outcome<OwnedHandle> file =
        OpenPlainFile(entry.path, READ_CONTROL | access, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (!file || !HasTrustedOwner(file.Value().get(), m_owners)) return OwnedHandle();
    return std::move(file.Value());
}

Outcome<std::vector<SnapshotFileEntry>> BackupFolder::List(const std::wstring& tagPrefix) const {
    const Outcome<bool> exist = FoldersExist();
    if (!exist) return exist.Error();
    if (!exist.Value()) return std::vector<SnapshotFileEntry>();
    return TrustedAmong(NamedFiles(tagPrefix));
}

std::vector<SnapshotFileEntry> BackupFolder::TrustedAmong(std::vector<SnapshotFileEntry> files) const {
    files.erase(std::remove_if(files.begin(), files.end(),
                               [&](const SnapshotFileEntry& entry) { return !IsTrustedFile(entry); }),
                files.end());
    return files;
}

std::optional<Failure> BackupFolder::Prune(const std::wstring& tagPrefix, const std::wstring& justSaved,
                                           size_t keep, const std::vector<std::wstring>& pinned) const {
    const Outcome<bool> exist = FoldersExist();
    if (!exist) return exist.Error();
    if (!exist.Value()) return std::nullopt;
    return PruneListed(NamedFiles(tagPrefix), tagPrefix, justSaved, keep, pinned);
}

std::optional<Failure> BackupFolder::PruneListed(const std::vector<SnapshotFileEntry>& listed,
                                                 const std::wstring& tagPrefix, const std::wstring& justSaved,
                                                 size_t keep, const std::vector<std::wstring>& pinned) const {
    const auto samePath = [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(a.c_str(), b.c_str()) == 0;
    };
    const std::wstring tag = FileNameTag(tagPrefix);
    // Newest first, as listed: the program's files that count.
    std::vector<const SnapshotFileEntry*> counted;
    for (const SnapshotFileEntry& entry : listed)
        if (IsOurName(entry.name, tag) && !samePath(entry.path, justSaved) &&
            std::none_of(pinned.begin(), pinned.end(),
                         [&](const std::wstring& path) { return samePath(entry.path, path); }))
            counted.push_back(&entry);
    // The run's own file takes one of the places kept.
    const size_t places = keep - std::min(keep, size_t{justSaved.empty() ? 0u : 1u});
    if (counted.size() <= places) return std::nullopt;
    // Each file due is deleted through the handle that was checked.
    std::vector<std::pair<const SnapshotFileEntry*, OwnedHandle>> due;
    for (auto entry = counted.begin() + places; entry != counted.end(); ++entry) {
        OwnedHandle file = OpenTrusted(**entry, DELETE);
        if (!file) {
            // A file due that is not trusted: only trusted files count, and only they go.
            due.clear();
            size_t kept = 0;
            for (const SnapshotFileEntry* counting : counted)
                if (OwnedHandle trusted = OpenTrusted(*counting, DELETE); trusted && ++kept > places)
                    due.emplace_back(counting, std::move(trusted));
            break;
        }
        due.emplace_back(*entry, std::move(file));
    }
    std::optional<Failure> first;
    for (const auto& [entry, file] : due) {
        FILE_DISPOSITION_INFO deleting{TRUE};
        if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &deleting, sizeof deleting) && !first)
            first = Failure{entry->path, L"cannot delete the old snapshot", GetLastError()};
    }
    return first;
}

}  // namespace SettingsSnapshot
