// The backup folder: file names, listing order, retention and failed saves.
#include <gtest/gtest.h>

#include "settings_snapshot/BackupFolder.h"
#include "test_support/Process.h"

using namespace SettingsSnapshot;

namespace {

SYSTEMTIME At(WORD day, WORD second) {
    SYSTEMTIME t{};
    t.wYear = 2026, t.wMonth = 12, t.wDay = day, t.wHour = 22, t.wMinute = 4, t.wSecond = second;
    return t;
}

std::vector<std::wstring> Names(const std::vector<SnapshotFileEntry>& entries) {
    std::vector<std::wstring> names;
    for (const SnapshotFileEntry& entry : entries) names.push_back(entry.name);
    return names;
}

class BackupFolderTest : public ::testing::Test {
protected:
    ~BackupFolderTest() override {
        for (const std::wstring& folder : {m_base + L"\\Tarvelo\\Backups", m_base + L"\\Tarvelo", m_base}) {
            for (const SnapshotFileEntry& entry : BackupFolder(folder).List())
                DeleteFileW(entry.path.c_str());
            RemoveDirectoryW(folder.c_str());
        }
    }
    static std::wstring TempFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"snapshot-tests-" + std::to_wstring(GetCurrentProcessId());
    }
    const std::wstring m_base = TempFolder();
    BackupFolder m_folder{m_base + L"\\Tarvelo\\Backups"};
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

TEST_F(BackupFolderTest, ListsNewestFirstAndKeepsTheNewestTwentyPerProgram) {
    for (WORD second = 0; second < 23; ++second)
        m_folder.Save(L"adapset-eth" + std::to_wstring(second % 2), m_bytes, At(9, second));
    m_folder.Save(L"adapset-eth1", m_bytes, At(9, 22));
    m_folder.Save(L"TarveloIP", m_bytes, At(1, 0));
    m_folder.Save(L"TarveloIP", m_bytes, At(10, 0));
    const std::vector<std::wstring> newest{
        L"20261210-220400-TarveloIP.reg", L"20261209-220422-adapset-eth0.reg",
        L"20261209-220422-adapset-eth1.reg", L"20261209-220421-adapset-eth1.reg"};
    const std::vector<std::wstring> all = Names(m_folder.List());
    ASSERT_EQ(all.size(), 26u);
    EXPECT_EQ(std::vector<std::wstring>(all.begin(), all.begin() + 4), newest);
    EXPECT_EQ(
        Names(m_folder.List(L"TarveloIP")),
        (std::vector<std::wstring>{L"20261210-220400-TarveloIP.reg", L"20261201-220400-TarveloIP.reg"}));

    EXPECT_FALSE(m_folder.Prune(L"adapset-"));
    const std::vector<std::wstring> kept = Names(m_folder.List(L"adapset-"));
    ASSERT_EQ(kept.size(), 20u);
    EXPECT_EQ(kept.back(), L"20261209-220404-adapset-eth0.reg");
    EXPECT_EQ(m_folder.List(L"TarveloIP").size(), 2u);
}

TEST_F(BackupFolderTest, AFailedSaveNamesThePathAndLeavesNoFile) {
    ASSERT_TRUE(CreateDirectoryW(m_base.c_str(), nullptr));
    const std::wstring blocker = m_base + L"\\Tarvelo";
    HANDLE file = CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    const Outcome<std::wstring> saved = m_folder.Save(L"TarveloIP", m_bytes, At(8, 5));
    DeleteFileW(blocker.c_str());
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.Error().subject, m_folder.Path() + L"\\20261208-220405-TarveloIP.reg");
    EXPECT_TRUE(m_folder.List().empty());
}

TEST(BackupFolder, DefaultsToTheProgramDataFolder) {
    wchar_t programData[MAX_PATH];
    ASSERT_GT(GetEnvironmentVariableW(L"ProgramData", programData, MAX_PATH), 0u);
    EXPECT_EQ(BackupFolder::Default().Value().Path(), std::wstring(programData) + L"\\Tarvelo\\Backups");
}
