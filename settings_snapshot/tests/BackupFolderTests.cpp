// The backup folder: file names, listing order, retention and failed saves.
#include <gtest/gtest.h>

#include "settings_snapshot/BackupFolder.h"

#include <sddl.h>

#include <map>
#include <memory>

#include "settings_snapshot/ApplyRecord.h"
#include "settings_snapshot/SnapshotHistory.h"

#include "settings_snapshot/DataFolder.h"
#include "settings_snapshot/SnapshotFile.h"
#include "test_support/Process.h"
#include "test_support/RegistryFixture.h"

using namespace SettingsSnapshot;
using TestSupport::SetWriteTime;

namespace {

SYSTEMTIME At(WORD day, WORD second) {
    SYSTEMTIME t{};
    t.wYear = 2026, t.wMonth = 12, t.wDay = day, t.wHour = 22, t.wMinute = 4, t.wSecond = second;
    return t;
}

std::vector<std::wstring> Names(const Outcome<std::vector<SnapshotFileEntry>>& entries) {
    std::vector<std::wstring> names;
    for (const SnapshotFileEntry& entry : entries.Value()) names.push_back(entry.name);
    return names;
}

std::unique_ptr<void, decltype(&LocalFree)> Descriptor(const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr);
    return {descriptor, &LocalFree};
}

// The host's path of a Windows path, through Wine's own export; empty elsewhere.
std::string UnixPath(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char* const unix = toUnix != nullptr ? toUnix(path.c_str()) : nullptr;
    const std::string result = unix != nullptr ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Runs a program of the host (Wine starts it directly); true when it ended with status 0.
bool RunHostProgram(const std::string& commandLine) {
    return TestSupport::RunProcess(commandLine).exitCode == 0;
}

class BackupFolderTest : public ::testing::Test {
protected:
    BackupFolderTest() { CreateDirectoryW(m_base.c_str(), nullptr); }
    ~BackupFolderTest() override {
        for (const std::wstring& folder : {m_base + L"\\Tarvelo\\Backups", m_base + L"\\Tarvelo", m_base}) {
            WIN32_FIND_DATAW found{};
            const HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
            if (find != INVALID_HANDLE_VALUE) {
                do DeleteFileW((folder + L"\\" + found.cFileName).c_str());
                while (FindNextFileW(find, &found));
                FindClose(find);
            }
            RemoveDirectoryW(folder.c_str());
        }
    }
    static std::wstring TempFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"snapshot-tests-" + std::to_wstring(GetCurrentProcessId());
    }
    const std::wstring m_base = TempFolder();
    BackupFolder m_folder{m_base + L"\\Tarvelo"};
    const std::vector<BYTE> m_bytes{0xFF, 0xFE, 'x', 0};
};

}  // namespace

TEST_F(BackupFolderTest, CreatesTheFolderAndNeverReplacesAFile) {
    std::vector<std::wstring> saved;
    for (int run = 0; run < 3; ++run) {
        const Outcome<std::wstring> path = m_folder.Save(L"adapset-{4E6574}", m_bytes, At(8, 5));
        ASSERT_TRUE(path) << path.Error().Describe();
        saved.push_back(path.Value());
        EXPECT_EQ(TestSupport::ReadFileBytes(std::string(path.Value().begin(), path.Value().end())),
                  std::string(m_bytes.begin(), m_bytes.end()));
    }
    const std::wstring stem = m_folder.Path() + L"\\20261208-220405-adapset-{4E6574}";
    EXPECT_EQ(saved, (std::vector<std::wstring>{stem + L".reg", stem + L"-2.reg", stem + L"-3.reg"}));
    EXPECT_EQ(m_folder.Save(L"a:b*", m_bytes, At(8, 5)).Value(),
              m_folder.Path() + L"\\20261208-220405-a_b_.reg");
}

TEST_F(BackupFolderTest, CountsOnlyOurFilesByWriteTimeAndNeverPrunesTheOneJustSaved) {
    std::vector<std::wstring> saved;
    for (WORD second = 0; second < 23; ++second) {
        saved.push_back(
            m_folder.Save(L"adapset-eth" + std::to_wstring(second % 2), m_bytes, At(9, second)).Value());
        SetWriteTime(saved.back(), 100 + second);
    }
    SetWriteTime(m_folder.Save(L"TarveloIP", m_bytes, At(1, 0)).Value(), 200);  // newest by time
    SetWriteTime(m_folder.Save(L"TarveloIP", m_bytes, At(10, 0)).Value(), 50);
    // Planted: a far-future stamp with an old write time, and names not of our pattern.
    for (const wchar_t* name : {L"99991231-235959-adapset-eth0.reg", L"notes.reg",
                                L"2026120-220400-adapset-x.reg", L"20261209-220400-adapset-x.txt"}) {
        ASSERT_FALSE(WriteNewFile(m_folder.Path() + L"\\" + name, m_bytes));
        SetWriteTime(m_folder.Path() + L"\\" + name, 10);
    }
    const std::vector<std::wstring> all = Names(m_folder.List());
    ASSERT_EQ(all.size(), 26u);
    EXPECT_EQ(
        std::vector<std::wstring>(all.begin(), all.begin() + 3),
        (std::vector<std::wstring>{L"20261201-220400-TarveloIP.reg", L"20261209-220422-adapset-eth0.reg",
                                   L"20261209-220421-adapset-eth1.reg"}));
    EXPECT_EQ(all.back(), L"99991231-235959-adapset-eth0.reg");
    EXPECT_EQ(
        Names(m_folder.List(L"TarveloIP")),
        (std::vector<std::wstring>{L"20261201-220400-TarveloIP.reg", L"20261210-220400-TarveloIP.reg"}));

    // The run's own file has the oldest write time of all: it stays, with the 19 newest
    // others; the planted far-future name goes by its old write time.
    SetWriteTime(saved[5], 1);
    EXPECT_FALSE(m_folder.Prune(L"adapset-", saved[5]));
    const std::vector<std::wstring> kept = Names(m_folder.List(L"adapset-"));
    ASSERT_EQ(kept.size(), 20u);
    EXPECT_EQ(kept[18], L"20261209-220403-adapset-eth1.reg");  // 22 down to 3, without 5
    EXPECT_EQ(m_folder.Path() + L"\\" + kept[19], saved[5]);
    EXPECT_EQ(m_folder.List(L"TarveloIP").Value().size(), 2u);
    EXPECT_NE(GetFileAttributesW((m_folder.Path() + L"\\notes.reg").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(BackupFolderTest, AFolderOrFileOfAnUntrustedOwnerIsNotUsed) {
    ASSERT_TRUE(m_folder.Save(L"TarveloIP", m_bytes, At(8, 5)));
    // Files here belong to this account; with only SYSTEM and Administrators trusted,
    // the folders fail the check and nothing is listed, saved or pruned.
    const BackupFolder strict(m_folder.DataFolder(), TrustedOwners());
    const Outcome<std::vector<SnapshotFileEntry>> listed = strict.List();
    ASSERT_FALSE(listed);
    EXPECT_NE(listed.Error().reason.find(L"not owned"), std::wstring::npos);
    EXPECT_FALSE(strict.Save(L"TarveloIP", m_bytes, At(8, 6)));
    EXPECT_TRUE(strict.Prune(L"", L"", 0));
    EXPECT_EQ(m_folder.List().Value().size(), 1u);

    // A second name of a snapshot (hard link) is neither listed nor read.
    const std::wstring link = m_folder.Path() + L"\\20261208-220406-TarveloIP.reg";
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), m_folder.List().Value()[0].path.c_str(), nullptr));
    EXPECT_TRUE(m_folder.List().Value().empty());
    const Outcome<std::vector<BYTE>> read = ReadSnapshotFile(link);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.Error().error, static_cast<DWORD>(ERROR_CANT_ACCESS_FILE));
}

// Pruning counts by name and deletes only files it trusts (here: not one with a second
// name; under Wine a file's owner cannot be changed). When a file due for deletion is
// not trusted, only trusted files count.
TEST_F(BackupFolderTest, PruneKeepsExactlyItsCountOfTrustedFiles) {
    std::vector<std::wstring> saved;
    for (WORD second = 1; second <= 4; ++second) {
        saved.push_back(m_folder.Save(L"adapset-eth0", m_bytes, At(9, second)).Value());
        SetWriteTime(saved.back(), second);
    }
    const std::wstring own = saved.back();
    EXPECT_FALSE(m_folder.Prune(L"adapset-", own, 4));
    EXPECT_EQ(m_folder.List().Value().size(), 4u);

    // Untrusted: the newest of the others and the oldest, which is due.
    for (const size_t i : {0u, 2u})
        ASSERT_TRUE(CreateHardLinkW((m_folder.Path() + L"\\second-name-" + std::to_wstring(i)).c_str(),
                                    saved[i].c_str(), nullptr));
    EXPECT_EQ(Names(m_folder.List()), (std::vector<std::wstring>{L"20261209-220404-adapset-eth0.reg",
                                                                 L"20261209-220402-adapset-eth0.reg"}));
    EXPECT_FALSE(m_folder.Prune(L"adapset-", own, 2));
    EXPECT_NE(GetFileAttributesW(saved[1].c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(m_folder.Prune(L"adapset-", own, 1));
    EXPECT_EQ(GetFileAttributesW(saved[1].c_str()), INVALID_FILE_ATTRIBUTES);
    for (const size_t i : {0u, 2u}) EXPECT_NE(GetFileAttributesW(saved[i].c_str()), INVALID_FILE_ATTRIBUTES);
}

// Each adapter's first snapshot is its original: never pruned, not counted by pruning,
// whichever program saves later; a file it does not trust never becomes one.
TEST_F(BackupFolderTest, TheFirstSnapshotOfEachAdapterIsKeptAsItsOriginal) {
    const SnapshotHistory history(m_folder);
    const auto save = [&](const wchar_t* program, const wchar_t* service, int minutes) {
        const Outcome<std::wstring> path = history.Save(program, service, m_bytes, 3);
        EXPECT_TRUE(path) << path.Error().Describe();
        SetWriteTime(path.Value(), minutes);
        return path.Value();
    };
    // Planted before the first save of eth1: a marked name that is not trusted.
    const std::wstring planted = m_folder.Path() + L"\\20261201-000000-adapset-eth1-original.reg";
    for (const std::wstring& folder : {m_folder.DataFolder(), m_folder.Path()})
        ASSERT_FALSE(EnsureProtectedFolder(folder, TrustedOwners::ForThisProcess()));
    ASSERT_FALSE(WriteNewFile(planted, m_bytes));
    ASSERT_TRUE(CreateHardLinkW((m_folder.Path() + L"\\second-name").c_str(), planted.c_str(), nullptr));

    const std::wstring original = save(kToolTag, L"eth0", 1);
    EXPECT_NE(original.find(L"-adapset-eth0-original"), std::wstring::npos);
    const std::wstring eth1 = save(kWizardTag, L"eth1", 2);
    EXPECT_NE(eth1.find(L"-TarveloIP-eth1-original"), std::wstring::npos);
    std::vector<std::wstring> later;
    for (int run = 0; run < 6; ++run)
        later.push_back(save(run % 2 ? kWizardTag : kToolTag, L"eth0", 10 + run));
    EXPECT_EQ(later[1].find(L"original"), std::wstring::npos);  // the wizard's first of eth0

    // Each program keeps its 3 newest others and every original.
    const Outcome<std::vector<HistoryEntry>> listed = history.List();
    ASSERT_TRUE(listed);
    std::vector<std::wstring> paths, originals;
    for (const HistoryEntry& entry : listed.Value()) {
        paths.push_back(entry.file.path);
        if (entry.original) originals.push_back(entry.file.path + L" " + entry.service);
    }
    EXPECT_EQ(paths, (std::vector<std::wstring>{later[5], later[4], later[3], later[2], later[1], later[0],
                                                eth1, original}));
    EXPECT_EQ(originals, (std::vector<std::wstring>{eth1 + L" eth1", original + L" eth0"}));
    EXPECT_EQ(SnapshotHistory::OriginalOf(listed.Value(), L"ETH0")->file.path, original);

    // At the boundary: the fourth save of the tool prunes its oldest other, not the original.
    const std::wstring next = save(kToolTag, L"eth0", 20);
    EXPECT_EQ(GetFileAttributesW(later[0].c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(original.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(planted.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(history.List().Value().size(), 8u);
}

// Listing the newest shows every original and the newest trusted others; the rest is
// counted, not opened.
TEST_F(BackupFolderTest, ListingTheNewestShowsTheOriginalsAndCountsTheRest) {
    const SnapshotHistory history(m_folder);
    std::vector<std::wstring> saved;
    for (int run = 0; run < 6; ++run) {
        saved.push_back(history.Save(kToolTag, L"eth0", m_bytes).Value());
        SetWriteTime(saved.back(), 10 + run);
    }
    // The newest is not trusted (a second name): left out, and the next one shown.
    ASSERT_TRUE(CreateHardLinkW((m_folder.Path() + L"\\second-name").c_str(), saved[5].c_str(), nullptr));
    size_t older = 0;
    const Outcome<std::vector<HistoryEntry>> listed = history.ListNewest(2, &older);
    ASSERT_TRUE(listed);
    std::vector<std::wstring> paths;
    for (const HistoryEntry& entry : listed.Value()) paths.push_back(entry.file.path);
    EXPECT_EQ(paths, (std::vector<std::wstring>{saved[4], saved[3], saved[0]}));
    EXPECT_TRUE(listed.Value().back().original);
    EXPECT_EQ(older, 2u);
}

// A folder from before originals were marked: each adapter's oldest trusted snapshot
// (the wizard's unnamed files by the adapter their keys name) is its original.
TEST_F(BackupFolderTest, InAnOlderFolderTheOldestSnapshotOfEachAdapterIsItsOriginal) {
    struct Planted : ServiceReader {
        std::wstring ServiceOf(const std::wstring& path) const override {
            const auto found = services.find(path);
            return found == services.end() ? std::wstring() : found->second;
        }
        std::map<std::wstring, std::wstring> services;
    } planted;
    std::map<std::wstring, std::wstring>& serviceOf = planted.services;
    const SnapshotHistory history(m_folder, &planted);
    const auto plant = [&](const wchar_t* tag, WORD second, const wchar_t* service) {
        const std::wstring path = m_folder.Save(tag, m_bytes, At(7, second)).Value();
        SetWriteTime(path, second);
        if (service != nullptr) serviceOf[path] = service;
        return path;
    };
    const std::wstring unreadable = plant(L"TarveloIP", 1, nullptr);
    const std::wstring wizardEth0 = plant(L"TarveloIP", 2, L"eth0");
    const std::wstring toolEth0 = plant(L"adapset-eth0", 3, nullptr);
    const std::wstring toolEth1 = plant(L"adapset-eth1", 4, nullptr);
    for (WORD second = 5; second < 9; ++second) plant(L"TarveloIP", second, L"eth1");

    std::vector<std::wstring> originals;
    const Outcome<std::vector<HistoryEntry>> listed = history.List();
    for (const HistoryEntry& entry : listed.Value())
        if (entry.original) originals.push_back(entry.file.path);
    EXPECT_EQ(originals, (std::vector<std::wstring>{toolEth1, wizardEth0}));

    // A new save is no original; pruning the wizard's files down to 2 keeps the old one.
    const Outcome<std::wstring> saved = history.Save(kWizardTag, L"eth1", m_bytes, 2);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved.Value().find(L"original"), std::wstring::npos);
    EXPECT_NE(GetFileAttributesW(wizardEth0.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(toolEth0.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(unreadable.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(history.List().Value().size(), 5u);  // 2 of the wizard, its original, the tool's 2
}

// The record of an unfinished apply: written, found, replaced, cleared; one that is not
// ours or not trusted is a failure, never a record.
TEST_F(BackupFolderTest, TheUnfinishedApplyRecordLivesFromStartToClear) {
    const ApplyRecord record(m_folder, L"TarveloIP");
    EXPECT_EQ(record.Path(), m_folder.DataFolder() + L"\\unfinished-TarveloIP.txt");
    EXPECT_FALSE(record.Find().Value());
    EXPECT_FALSE(record.Clear());
    ASSERT_FALSE(m_folder.PrepareFolders());  // as the save before a record does
    ASSERT_FALSE(record.Start(L"{eth0}", m_folder.Path() + L"\\20261208-220405-TarveloIP-{eth0}.reg"));
    ASSERT_FALSE(record.Start(L"{eth1}", m_folder.Path() + L"\\20261208-220406-TarveloIP-{eth1}.reg"));
    const Outcome<std::optional<UnfinishedApply>> found = record.Find();
    ASSERT_TRUE(found && found.Value());
    EXPECT_EQ(found.Value()->service, L"{eth1}");
    EXPECT_EQ(found.Value()->snapshotPath, m_folder.Path() + L"\\20261208-220406-TarveloIP-{eth1}.reg");
    EXPECT_FALSE(ApplyRecord(m_folder, L"adapset").Find().Value());
    EXPECT_TRUE(record.Start(L"{eth0}", L"..\\notes.txt"));

    EXPECT_FALSE(record.Clear());
    EXPECT_FALSE(record.Find().Value());
    // Kept open: closing the handle (a run cut off) leaves the record; End removes it.
    for (const bool ended : {false, true}) {
        Outcome<OwnedHandle> begun = record.Begin(L"{eth0}", L"20261208-220405-TarveloIP-{eth0}.reg");
        ASSERT_TRUE(begun);
        if (ended) {
            EXPECT_FALSE(record.End(std::move(begun.Value())));
        }
        begun.Value().reset();
        EXPECT_EQ(record.Find().Value().has_value(), !ended);
    }
    // A name that leaves the backup folder; text without the byte-order mark.
    std::vector<BYTE> outside{0xFF, 0xFE};
    for (const wchar_t c : std::wstring(L"{eth0}\r\n..\\x.reg\r\n"))
        outside.insert(outside.end(), {BYTE(c), BYTE(c >> 8)});
    const std::string plain = "{eth0}\r\nx.reg\r\n";
    for (const std::vector<BYTE>& content : {outside, std::vector<BYTE>(plain.begin(), plain.end())}) {
        ASSERT_FALSE(WriteNewFile(record.Path(), content));
        const Outcome<std::optional<UnfinishedApply>> foreign = record.Find();
        ASSERT_FALSE(foreign);
        EXPECT_EQ(foreign.Error().reason, L"not a record of ours");
        EXPECT_FALSE(record.Clear());
    }
    ASSERT_FALSE(record.Start(L"{eth0}", L"20261208-220405-TarveloIP-{eth0}.reg"));
    ASSERT_TRUE(
        CreateHardLinkW((m_folder.DataFolder() + L"\\second-name").c_str(), record.Path().c_str(), nullptr));
    EXPECT_FALSE(record.Find());
    EXPECT_TRUE(ApplyRecord(BackupFolder(m_folder.DataFolder(), TrustedOwners()), L"TarveloIP")
                    .Find()
                    .Error()
                    .reason.find(L"not owned") != std::wstring::npos);
}

TEST(FolderSecurity, ProtectsTheFolderForAdministratorsAndTrustsOnlyTheirOwnership) {
    const auto protectedFolder = Descriptor(kProtectedFolderSddl);
    ASSERT_NE(protectedFolder.get(), nullptr);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(protectedFolder.get(), &control, &revision));
    EXPECT_NE(control & SE_DACL_PROTECTED, 0);  // nothing inherited from ProgramData
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(protectedFolder.get(), &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl != nullptr);
    ASSERT_EQ(dacl->AceCount, 3);
    const struct {
        WELL_KNOWN_SID_TYPE sid;
        bool mayWrite;
    } expected[] = {
        {WinLocalSystemSid, true}, {WinBuiltinAdministratorsSid, true}, {WinBuiltinUsersSid, false}};
    const DWORD writing = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                          FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(ace->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
        EXPECT_TRUE(IsWellKnownSid(&ace->SidStart, expected[i].sid)) << i;
        EXPECT_EQ((ace->Mask & writing) != 0, expected[i].mayWrite) << i;
        EXPECT_NE(ace->Mask & FILE_GENERIC_READ, 0u) << i;
    }

    const TrustedOwners owners;
    EXPECT_TRUE(owners.TrustsDescriptor(Descriptor(L"O:SYD:").get()));
    EXPECT_TRUE(owners.TrustsDescriptor(Descriptor(L"O:BAD:").get()));
    for (const wchar_t* untrusted : {L"O:BUD:", L"O:WDD:", L"O:S-1-5-21-1-2-3-1001D:", L"D:"})
        EXPECT_FALSE(owners.TrustsDescriptor(Descriptor(untrusted).get())) << untrusted;
    EXPECT_TRUE(TrustedOwners({L"S-1-5-21-1-2-3-1001"})
                    .TrustsDescriptor(Descriptor(L"O:S-1-5-21-1-2-3-1001D:").get()));
}

TEST(FolderSecurity, OnlyTrustedOwnersMayChangeAFolderByItsDacl) {
    const TrustedOwners owners({L"S-1-5-21-1-2-3-1001"});
    for (const wchar_t* sole : {kProtectedFolderSddl, L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-1-2-3-1001)",
                                // reading, and CREATOR OWNER (only what a trusted owner creates)
                                L"D:(A;;FRFX;;;WD)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;BU)",
                                // denying never grants; an empty DACL grants nothing
                                L"D:(D;;FA;;;WD)(A;;FA;;;BA)", L"D:"})
        EXPECT_TRUE(owners.AloneMayChange(Descriptor(sole).get())) << sole;
    for (const wchar_t* open :
         {L"D:P(A;OICI;FA;;;SY)(A;;FW;;;BU)", L"D:(A;;0x2;;;AU)", L"D:(A;;0x4;;;WD)", L"D:(A;;SD;;;BU)",
          L"D:(A;;WD;;;BU)", L"D:(A;;WO;;;BU)", L"D:(A;;GA;;;WD)", L"D:(A;;GW;;;BU)", L"D:(A;;0x40;;;BU)",
          L"D:(A;OICIIO;FA;;;BU)", L"D:(A;OICIIO;GA;;;CG)", L"D:(A;;FA;;;S-1-5-21-1-2-3-1002)",
          L"D:(OA;;FA;;;BA)"})
        EXPECT_FALSE(owners.AloneMayChange(Descriptor(open).get())) << open;
    EXPECT_FALSE(owners.AloneMayChange(nullptr));
    SECURITY_DESCRIPTOR nullDacl{};  // everyone may do everything
    ASSERT_TRUE(InitializeSecurityDescriptor(&nullDacl, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&nullDacl, TRUE, nullptr, FALSE));
    EXPECT_FALSE(owners.AloneMayChange(&nullDacl));
}

TEST(FolderSecurity, TheFinalPathMustNameThePathItself) {
    EXPECT_TRUE(SameFinalPath(L"\\\\?\\C:\\ProgramData\\Tarvelo", L"C:\\programdata\\TARVELO\\"));
    EXPECT_TRUE(SameFinalPath(L"\\\\?\\UNC\\server\\share\\a", L"\\\\server\\share\\a"));
    EXPECT_TRUE(SameFinalPath(L"\\\\?\\C:\\", L"C:\\"));
    EXPECT_FALSE(SameFinalPath(L"\\\\?\\C:\\ProgramData\\Elsewhere", L"C:\\ProgramData\\Tarvelo"));
    EXPECT_FALSE(SameFinalPath(L"\\\\?\\Z:\\tmp\\Tarvelo", L"C:\\ProgramData\\Tarvelo"));
    EXPECT_FALSE(SameFinalPath(L"\\\\?\\C:\\ProgramData\\Tarvelo\\Backups", L"C:\\ProgramData\\Tarvelo"));
    EXPECT_FALSE(SameFinalPath(L"", L""));
}

// Wine reports no reparse point for a symbolic link of the host: only its final path
// shows that it leads elsewhere.
TEST_F(BackupFolderTest, ABackupsFolderThatIsALinkGetsNothingWrittenThroughIt) {
    ASSERT_FALSE(EnsureProtectedFolder(m_folder.DataFolder(), TrustedOwners::ForThisProcess()));
    const TestSupport::ScratchFolder elsewhere("backups-elsewhere");
    const std::wstring target(elsewhere.Path().begin(), elsewhere.Path().end());
    const std::string link = UnixPath(m_folder.Path());
    ASSERT_FALSE(link.empty()) << "not under Wine";
    ASSERT_TRUE(RunHostProgram("Z:\\bin\\ln -s " + UnixPath(target) + " " + link));
    const Outcome<std::wstring> saved = m_folder.Save(L"TarveloIP", m_bytes, At(8, 5));
    const Outcome<std::vector<SnapshotFileEntry>> listed = m_folder.List();
    RunHostProgram("Z:\\bin\\rm " + link);
    ASSERT_FALSE(saved);
    EXPECT_NE(saved.Error().reason.find(L"link"), std::wstring::npos) << saved.Error().Describe();
    ASSERT_FALSE(listed);
    EXPECT_EQ(listed.Error().error, static_cast<DWORD>(ERROR_CANT_ACCESS_FILE));
    EXPECT_TRUE(elsewhere.FileNames().empty());

    // A file's own name that is such a link is refused as well, before a byte is read.
    const std::wstring planted = target + L"\\20261208-220405-TarveloIP.reg";
    ASSERT_FALSE(WriteNewFile(planted, m_bytes));
    ASSERT_TRUE(m_folder.Save(L"adapset-x", m_bytes, At(8, 1)));
    const std::wstring linked = m_folder.Path() + L"\\20261208-220405-TarveloIP.reg";
    ASSERT_TRUE(RunHostProgram("Z:\\bin\\ln -s " + UnixPath(planted) + " " + UnixPath(linked)));
    const std::vector<std::wstring> names = Names(m_folder.List());
    const Outcome<std::vector<BYTE>> read = ReadSnapshotFile(linked);
    RunHostProgram("Z:\\bin\\rm " + UnixPath(linked));
    EXPECT_EQ(names, std::vector<std::wstring>{L"20261208-220401-adapset-x.reg"});
    ASSERT_FALSE(read);
    EXPECT_EQ(read.Error().error, static_cast<DWORD>(ERROR_CANT_ACCESS_FILE));
}

// Wine shows a folder's Unix mode as its DACL: 0777 lets everyone change it.
TEST_F(BackupFolderTest, AFolderOthersMayChangeIsRefusedUntilASaveRepairsIt) {
    ASSERT_TRUE(m_folder.Save(L"TarveloIP", m_bytes, At(8, 5)));
    ASSERT_TRUE(RunHostProgram("Z:\\bin\\chmod 0777 " + UnixPath(m_folder.Path())));
    const Outcome<std::vector<SnapshotFileEntry>> listed = m_folder.List();
    ASSERT_FALSE(listed);
    EXPECT_NE(listed.Error().reason.find(L"may change"), std::wstring::npos) << listed.Error().Describe();
    ASSERT_TRUE(m_folder.Save(L"TarveloIP", m_bytes, At(8, 6)));
    EXPECT_EQ(m_folder.List().Value().size(), 2u);
}

TEST_F(BackupFolderTest, AFailedSaveNamesThePathAndLeavesNoFile) {
    const std::wstring blocker = m_base + L"\\Tarvelo";
    HANDLE file = CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    const Outcome<std::wstring> saved = m_folder.Save(L"TarveloIP", m_bytes, At(8, 5));
    DeleteFileW(blocker.c_str());
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.Error().subject, m_folder.DataFolder());
    EXPECT_TRUE(m_folder.List().Value().empty());
}

TEST(BackupFolder, IsInTheMachinesProgramDataFolderWhateverTheEnvironmentSays) {
    wchar_t programData[MAX_PATH];
    ASSERT_GT(GetEnvironmentVariableW(L"ProgramData", programData, MAX_PATH), 0u);
    const std::wstring expected = std::wstring(programData) + L"\\Tarvelo\\Backups";
    EXPECT_EQ(BackupFolder::Default().Value().Path(), expected);
    SetEnvironmentVariableW(L"ProgramData", L"C:\\users\\Public\\elsewhere");
    SetEnvironmentVariableW(L"ALLUSERSPROFILE", L"C:\\users\\Public\\elsewhere");
    const std::wstring steered = BackupFolder::Default().Value().Path();
    SetEnvironmentVariableW(L"ProgramData", programData);
    SetEnvironmentVariableW(L"ALLUSERSPROFILE", programData);
    EXPECT_EQ(steered, expected);
}

TEST(DataFolder, ProgramDataIsAPlainFolderOnADriveOrARefusal) {
    struct Case {
        DWORD type;
        const wchar_t* value;
        const wchar_t* folder;  // nullptr: refused
    };
    for (const Case& c :
         std::initializer_list<Case>{{REG_EXPAND_SZ, L"%SystemDrive%\\ProgramData", L"D:\\ProgramData"},
                                     {REG_EXPAND_SZ, L"%systemdrive%\\ProgramData\\", L"D:\\ProgramData"},
                                     {REG_SZ, L"C:\\ProgramData", L"C:\\ProgramData"},
                                     {REG_EXPAND_SZ, L"E:\\Data\\All Users", L"E:\\Data\\All Users"},
                                     {REG_SZ, L"%SystemDrive%\\ProgramData", nullptr},  // not to be expanded
                                     {REG_EXPAND_SZ, L"%ProgramData%", nullptr},
                                     {REG_EXPAND_SZ, L"%SystemDrive%%Other%\\ProgramData", nullptr},
                                     {REG_EXPAND_SZ, L"%SystemDrive%", nullptr},
                                     {REG_SZ, L"", nullptr},
                                     {REG_SZ, L"ProgramData", nullptr},
                                     {REG_SZ, L"C:ProgramData", nullptr},
                                     {REG_SZ, L"C:\\", nullptr},
                                     {REG_SZ, L"\\\\server\\share\\ProgramData", nullptr},
                                     {REG_SZ, L"\\ProgramData", nullptr},
                                     {REG_SZ, L"C:\\Users\\..\\ProgramData", nullptr},
                                     {REG_SZ, L"C:\\.\\ProgramData", nullptr},
                                     {REG_SZ, L"C:\\ProgramData\\\\Tarvelo", nullptr},
                                     {REG_SZ, L"C:/ProgramData", nullptr},
                                     {REG_SZ, L"C:\\ProgramData:stream", nullptr},
                                     {REG_SZ, L"C:\\Program\nData", nullptr},
                                     {REG_DWORD, L"C:\\ProgramData", nullptr},
                                     {REG_MULTI_SZ, L"C:\\ProgramData", nullptr}}) {
        const Outcome<std::wstring> folder = ProgramDataFromProfileValue(c.type, c.value, L"D:\\Windows");
        if (c.folder == nullptr) {
            EXPECT_FALSE(folder) << std::string(c.value, c.value + wcslen(c.value));
        } else {
            ASSERT_TRUE(folder) << std::string(c.value, c.value + wcslen(c.value));
            EXPECT_EQ(folder.Value(), c.folder);
        }
    }
    EXPECT_FALSE(
        ProgramDataFromProfileValue(REG_SZ, L"C:\\" + std::wstring(MAX_PATH - 100, L'a'), L"C:\\Windows"));
    EXPECT_FALSE(
        ProgramDataFromProfileValue(REG_EXPAND_SZ, L"%SystemDrive%\\ProgramData", L"\\\\?\\X\\Windows"));
}

// The value as Windows keeps it, and values that must stop a save: missing, not text,
// not a folder.
TEST(DataFolder, ReadFromTheMachinesProfileListAndRefusedWhenUnusable) {
    const char kProfileList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
    const auto utf16 = [](DWORD type, const std::string& ascii) {
        std::string bytes;
        for (const char c : ascii + '\0') bytes += {c, '\0'};
        return TestSupport::BytesValue(type, bytes);
    };
    {
        const TestSupport::ScopedStoredValue windowsForm(HKEY_LOCAL_MACHINE, kProfileList, "ProgramData",
                                                         utf16(REG_EXPAND_SZ, "%SystemDrive%\\ProgramData"));
        ASSERT_TRUE(TarveloDataFolder());
        EXPECT_EQ(TarveloDataFolder().Value(), L"C:\\ProgramData\\Tarvelo");
    }
    for (const std::optional<TestSupport::RawValue>& value :
         {std::optional<TestSupport::RawValue>(), std::optional(utf16(REG_SZ, "ProgramData")),
          std::optional(TestSupport::DwordValue(1))}) {
        const TestSupport::ScopedStoredValue poisoned(HKEY_LOCAL_MACHINE, kProfileList, "ProgramData", value);
        const Outcome<BackupFolder> folder = BackupFolder::Default();
        ASSERT_FALSE(folder);
        EXPECT_EQ(folder.Error().subject, L"ProgramData");
    }
}
