#include "settings_snapshot/SnapshotHistory.h"

#include <cwctype>
#include <cstdint>
#include <optional>

#include "NameCompare.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/RegFileFormat.h"
#include "settings_snapshot/SnapshotFile.h"

namespace SettingsSnapshot {

const wchar_t kToolTag[] = L"adapset-";
const wchar_t kWizardTag[] = L"TarveloIP-";

namespace {

const wchar_t kOriginalMarker[] = L"-original";
const wchar_t kLegacyWizardTag[] = L"TarveloIP";
constexpr size_t kStampAndDash = 16;    // "yyyyMMdd-HHmmss-"
constexpr size_t kExtensionLength = 4;  // ".reg"

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool StartsWith(const std::wstring& text, const std::wstring& start) {
    return text.compare(0, start.size(), start) == 0;
}

// What a file name of ours says: the tag without the counter a taken name adds.
struct NameParts {
    std::optional<std::wstring> service;  // nullopt: a wizard file that does not name it
    bool marked = false;
};

std::optional<NameParts> ReadName(const std::wstring& name) {
    if (name.size() < kStampAndDash + kExtensionLength) return std::nullopt;
    std::wstring tag = name.substr(kStampAndDash, name.size() - kStampAndDash - kExtensionLength);
    // "-2" ... "-1000": the counter of a name already taken.
    const size_t dash = tag.rfind(L'-');
    if (dash != std::wstring::npos && dash + 1 < tag.size() && tag[dash + 1] != L'0' &&
        tag.find_first_not_of(L"0123456789", dash + 1) == std::wstring::npos)
        tag.resize(dash);
    NameParts parts;
    if (EndsWith(tag, kOriginalMarker)) {
        parts.marked = true;
        tag.resize(tag.size() - (std::size(kOriginalMarker) - 1));
    }
    for (const wchar_t* program : {kToolTag, kWizardTag})
        if (StartsWith(tag, program) && tag.size() > wcslen(program)) {
            parts.service = tag.substr(wcslen(program));
            return parts;
        }
    if (tag == kLegacyWizardTag && !parts.marked) return parts;
    return std::nullopt;
}

// UTF-16LE text after the byte-order mark.
std::wstring WideText(const std::vector<BYTE>& bytes) {
    std::wstring text;
    for (size_t at = 2; at + 1 < bytes.size(); at += 2)
        text.push_back(static_cast<wchar_t>(bytes[at] | bytes[at + 1] << 8));
    return text;
}

}  // namespace

std::wstring ReadSnapshotService(const std::wstring& path) {
    const Outcome<std::vector<BYTE>> bytes = ReadSnapshotFile(path);
    if (!bytes) return {};
    const std::wstring text = WideText(bytes.Value());
    const std::wstring opening = L"\r\n[HKEY_LOCAL_MACHINE\\";
    for (size_t at = text.find(opening); at != std::wstring::npos; at = text.find(opening, at + 1)) {
        const size_t start = at + opening.size();
        const size_t end = text.find(L"]\r\n", start);
        if (end == std::wstring::npos) break;
        if (const std::optional<std::wstring> service = ServiceOfAdapterKey(text.substr(start, end - start)))
            return *service;
    }
    return {};
}

SnapshotHistory::SnapshotHistory(BackupFolder folder, const ServiceReader* reader)
    : m_folder(std::move(folder)), m_reader(reader) {}

Outcome<std::vector<HistoryEntry>> SnapshotHistory::List() const {
    Outcome<std::vector<SnapshotFileEntry>> files = m_folder.List();
    if (!files) return files.Error();
    return Classify(std::move(files.Value()));
}

Outcome<std::vector<HistoryEntry>> SnapshotHistory::ListNewest(size_t count, size_t* older) const {
    *older = 0;
    const Outcome<bool> exist = m_folder.FoldersExist();
    if (!exist) return exist.Error();
    std::vector<HistoryEntry> shown;
    if (!exist.Value()) return shown;
    std::vector<SnapshotFileEntry> counted;
    size_t later = 0;  // entries shown that are no original
    // The originals come checked; the others are opened only while places are left.
    for (HistoryEntry& entry : ClassifyForSave(m_folder.NamedFiles(), &counted)) {
        if (!entry.original) {
            if (later == count) {
                ++*older;
                continue;
            }
            if (!m_folder.IsTrustedFile(entry.file)) continue;
            ++later;
        }
        shown.push_back(std::move(entry));
    }
    return shown;
}

// Opening every kept file costs a save far more than the rest of its work (each check
// resolves the file's final path). Among trusted files alone the originals come out the
// same as among all files whenever the ones chosen among all are trusted, so only those
// are opened, with every other name that carries the marker: we write it once per
// adapter, so a second one is a sign of a planted file, and then every file is checked.
std::vector<HistoryEntry> SnapshotHistory::ClassifyForSave(const std::vector<SnapshotFileEntry>& named,
                                                           std::vector<SnapshotFileEntry>* counted) const {
    std::vector<HistoryEntry> entries = Classify(named);
    *counted = named;
    for (const HistoryEntry& entry : entries) {
        const std::optional<NameParts> parts = ReadName(entry.file.name);
        if ((entry.original || (parts && parts->marked)) && !m_folder.IsTrustedFile(entry.file)) {
            *counted = m_folder.TrustedAmong(named);
            return Classify(*counted);
        }
    }
    return entries;
}

std::vector<HistoryEntry> SnapshotHistory::Classify(std::vector<SnapshotFileEntry> files) const {
    std::vector<HistoryEntry> entries;
    entries.reserve(files.size());
    // Per adapter (folded name): its oldest entry and its oldest marked one (or none).
    struct Adapter {
        std::wstring folded;
        size_t oldest = 0;
        size_t marked = SIZE_MAX;
    };
    std::vector<Adapter> adapters;
    for (SnapshotFileEntry& file : files) {
        const std::optional<NameParts> parts = ReadName(file.name);
        HistoryEntry entry{std::move(file), {}, false};
        bool marked = false;
        if (parts) {
            if (parts->service)
                entry.service = *parts->service;
            else
                entry.service =
                    m_reader ? m_reader->ServiceOf(entry.file.path) : ReadSnapshotService(entry.file.path);
            marked = parts->marked;
        }
        if (!entry.service.empty()) {
            const std::wstring folded = FoldedName(entry.service);
            Adapter* adapter = nullptr;
            for (Adapter& known : adapters)
                if (known.folded == folded) adapter = &known;
            if (adapter == nullptr) adapter = &adapters.emplace_back(Adapter{folded});
            // Newest first: a later one is older.
            adapter->oldest = entries.size();
            if (marked) adapter->marked = entries.size();
        }
        entries.push_back(std::move(entry));
    }
    for (const Adapter& adapter : adapters)
        entries[adapter.marked != SIZE_MAX ? adapter.marked : adapter.oldest].original = true;
    return entries;
}

Outcome<std::wstring> SnapshotHistory::Save(const std::wstring& programTag, const std::wstring& service,
                                            const std::vector<BYTE>& bytes, size_t keep) const {
    // The folders are checked once; the listing taken here serves the name, the
    // original and pruning.
    if (std::optional<Failure> failure = m_folder.PrepareFolders()) return *failure;
    const std::vector<SnapshotFileEntry> named = m_folder.NamedFiles();
    std::vector<SnapshotFileEntry> counted;
    const std::vector<HistoryEntry> before = ClassifyForSave(named, &counted);
    const bool first = OriginalOf(before, service) == nullptr;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const Outcome<std::wstring> saved =
        m_folder.SaveInPrepared(programTag + service + (first ? kOriginalMarker : L""), bytes, now);
    if (!saved) return saved;
    std::vector<std::wstring> originals;
    for (const HistoryEntry& entry : before)
        if (entry.original) originals.push_back(entry.file.path);
    // The wizard's files from before adapters were named count with its others.
    const std::wstring prefix = programTag == kWizardTag ? kLegacyWizardTag : programTag;
    m_folder.PruneListed(counted, prefix, saved.Value(), keep, originals);
    return saved;
}

const HistoryEntry* SnapshotHistory::OriginalOf(const std::vector<HistoryEntry>& entries,
                                                const std::wstring& service) {
    for (const HistoryEntry& entry : entries)
        if (entry.original && SameName(entry.service, service)) return &entry;
    return nullptr;
}

Outcome<SavedSnapshot, SaveFailure> SaveAdapterSnapshot(const std::vector<KeyRequest>& requests,
                                                        const std::wstring& programTag,
                                                        const std::wstring& service) {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) return SaveFailure{folder.Error().subject, folder.Error()};
    return SaveAdapterSnapshot(folder.Value(), requests, programTag, service);
}

Outcome<SavedSnapshot, SaveFailure> SaveAdapterSnapshot(const BackupFolder& folder,
                                                        const std::vector<KeyRequest>& requests,
                                                        const std::wstring& programTag,
                                                        const std::wstring& service) {
    Outcome<Snapshot> captured = CaptureSnapshot(requests);
    if (!captured) return SaveFailure{folder.Path(), captured.Error()};
    const Outcome<std::wstring> saved =
        SnapshotHistory(folder).Save(programTag, service, EncodeRegFile(captured.Value()));
    if (!saved) return SaveFailure{saved.Error().subject, saved.Error()};
    return SavedSnapshot{saved.Value(), std::move(captured.Value())};
}

}  // namespace SettingsSnapshot
