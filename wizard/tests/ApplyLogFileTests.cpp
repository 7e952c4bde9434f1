// The apply log on disk: bounded fields from files, rotation past 1 MiB, and no writing
// through a second name of another file.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/ApplyLogFile.h"
#include "test_support/Process.h"

TEST(ApplyLogFile, FieldsFromFilesAreEscapedAndCutTo200Characters) {
    EXPECT_EQ(LogField(L"C:\\ProgramData\\Tarvelo\\Backups\\a.reg"),
              L"C:\\ProgramData\\Tarvelo\\Backups\\a.reg");
    EXPECT_EQ(LogField(std::wstring(L"a\0b\r\nc\x1B\x85", 8)), L"a\\x00b\\x0d\\x0ac\\x1b\\x85");
    EXPECT_EQ(LogField(std::wstring(200, L'x')), std::wstring(200, L'x'));
    EXPECT_EQ(LogField(std::wstring(100000, L'x')), std::wstring(197, L'x') + L"...");
    EXPECT_EQ(LogField(L"\x7f\u2028\u2066x\u200f"), L"\\x7f\\u2028\\u2066x\\u200f");
    // Cut before the escape that would not fit whole.
    std::wstring escapes;
    for (int i = 0; i < 49; ++i) escapes += L"\\x0a";
    EXPECT_EQ(LogField(std::wstring(300, L'\n')), escapes + L"...");
}

TEST(ApplyLogFile, ALineBreakInALineCannotStartAnotherLine) {
    const TestSupport::ScratchFolder folder("apply-log-line");
    const std::string log = folder.Path() + "\\TarveloIP.log";
    CApplyLogFile(std::wstring(log.begin(), log.end()))
        .Write(L"adapter LAN\r\n2026-01-01 00:00:00 forged\x1b");
    const std::string written = TestSupport::ReadFileBytes(log);
    EXPECT_EQ(written.substr(20), "adapter LAN\\x0d\\x0a2026-01-01 00:00:00 forged\\x1b\r\n");
}

TEST(ApplyLogFile, StartsAnewPastOneMebibyteAndNeverWritesThroughASecondName) {
    const TestSupport::ScratchFolder folder("apply-log-file");
    const std::string log = folder.Path() + "\\TarveloIP.log";
    const std::string full(static_cast<size_t>(CApplyLogFile::kRotateBytes) + 1, 'o');
    FILE* file = fopen(log.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fwrite(full.data(), 1, full.size(), file);
    fclose(file);
    CApplyLogFile(std::wstring(log.begin(), log.end())).Write(L"fresh");
    EXPECT_EQ(TestSupport::ReadFileBytes(log + ".1"), full);
    const std::string fresh = TestSupport::ReadFileBytes(log);
    EXPECT_EQ(fresh.substr(fresh.size() - 7), "fresh\r\n");
    EXPECT_LT(fresh.size(), 40u);

    // The log's name is a hard link to another file: nothing is appended to that file.
    const std::string other = folder.Path() + "\\other.txt";
    file = fopen(other.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fputs("other", file);
    fclose(file);
    ASSERT_TRUE(DeleteFileA(log.c_str()));
    ASSERT_TRUE(CreateHardLinkA(log.c_str(), other.c_str(), nullptr));
    CApplyLogFile(std::wstring(log.begin(), log.end())).Write(L"through the link");
    EXPECT_EQ(TestSupport::ReadFileBytes(other), "other");
}
