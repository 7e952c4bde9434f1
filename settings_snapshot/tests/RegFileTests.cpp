// Registry Editor 5 files: the exact text we write, the round trip, and refusals.
#include <gtest/gtest.h>

#include <sstream>

#include "settings_snapshot/RegFileFormat.h"
#include "settings_snapshot/RegFileParser.h"
#include "AnyValueBelow.h"

using namespace SettingsSnapshot;

namespace {

const AnyValueBelow kTestKeys(L"Software\\TarveloTests\\*");

std::vector<BYTE> Bytes(size_t count, BYTE first = 0) {
    std::vector<BYTE> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<BYTE>(first + i);
    return bytes;
}

std::vector<BYTE> Utf16File(const std::wstring& text) {
    std::vector<BYTE> bytes{0xFF, 0xFE};
    for (const wchar_t c : text) bytes.insert(bytes.end(), {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8)});
    return bytes;
}

}  // namespace

TEST(RegFile, WritesTheRegistryEditorsTextForEachKindOfValue) {
    const Snapshot snapshot{
        {{L"Software\\TarveloTests\\A",
          {SnapshotValue::Present(L"Num", REG_DWORD, {0x78, 0x56, 0x34, 0x12}),
           SnapshotValue::Present(L"a\"b\\c", REG_SZ, {'x', 0, '"', 0, '\\', 0, 0x0B, 0x4E, 0, 0}),
           // Quoted only where the text comes back exactly: not with a second zero, an
           // odd byte, a zero inside, a line break or no terminating zero.
           SnapshotValue::Present(L"S1", REG_SZ, {'x', 0, 0, 0, 0, 0}),
           SnapshotValue::Present(L"S2", REG_SZ, {'x', 0, 0}),
           SnapshotValue::Present(L"S3", REG_SZ, {'x', 0, 0, 0, 'y', 0, 0, 0}),
           SnapshotValue::Present(L"S4", REG_SZ, {'\n', 0, 0, 0}),
           SnapshotValue::Present(L"S5", REG_SZ, {'x', 0}), SnapshotValue::Present(L"S6", REG_SZ, {0, 0}),
           SnapshotValue::Present(L"S7", REG_EXPAND_SZ, {'x', 0, 0, 0}),
           SnapshotValue::Present(L"", REG_BINARY, {0xAB}),
           SnapshotValue::Present(L"Short", REG_DWORD, {1, 2, 3}),
           SnapshotValue::Present(L"Empty", REG_EXPAND_SZ, {}),
           SnapshotValue::Present(L"Big", 0xFFFF0001, {0}), SnapshotValue::Absent(L"Gone")}},
         {L"Software\\TarveloTests\\B", {}}}};
    const std::wstring expected =
        L"Windows Registry Editor Version 5.00\r\n\r\n"
        L"[HKEY_LOCAL_MACHINE\\Software\\TarveloTests\\A]\r\n"
        L"\"Num\"=dword:12345678\r\n\"a\\\"b\\\\c\"=\"x\\\"\\\\\x4E0B\"\r\n"
        L"\"S1\"=hex(1):78,00,00,00,00,00\r\n\"S2\"=hex(1):78,00,00\r\n\"S3\"=hex(1):78,00,00,00,79,00,00,"
        L"00\r\n"
        L"\"S4\"=hex(1):0a,00,00,00\r\n\"S5\"=hex(1):78,00\r\n\"S6\"=\"\"\r\n\"S7\"=hex(2):78,00,00,00\r\n@="
        L"hex:ab\r\n"
        L"\"Short\"=hex(4):01,02,03\r\n\"Empty\"=hex(2):\r\n\"Big\"=hex(ffff0001):00\r\n\"Gone\"=-\r\n\r\n"
        L"[HKEY_LOCAL_MACHINE\\Software\\TarveloTests\\B]\r\n\r\n";
    EXPECT_EQ(FormatRegText(snapshot), expected);
    EXPECT_EQ(EncodeRegFile(snapshot), Utf16File(expected));
}

TEST(RegFile, WrapsLongDataAtEightyColumns) {
    const Snapshot snapshot{{{L"K", {SnapshotValue::Present(L"IPAddress", REG_MULTI_SZ, Bytes(100))}}}};
    std::wistringstream lines(FormatRegText(snapshot));
    std::vector<std::wstring> value;
    for (std::wstring line; std::getline(lines, line);) {
        if (value.empty() && line.rfind(L"\"IPAddress\"", 0) != 0) continue;
        value.push_back(line);
        if (line.size() < 2 || line[line.size() - 2] != L'\\') break;
    }
    ASSERT_EQ(value.size(), 5u);      // 20 bytes on the first line, 25 on the next, 5 on the last
    EXPECT_EQ(value[0].size(), 81u);  // 80 columns and the CR
    EXPECT_EQ(value[0].substr(value[0].size() - 6), L",13,\\\r");
    EXPECT_EQ(value[1], L"  14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,\\\r");
    EXPECT_EQ(value[4], L"  5f,60,61,62,63\r");
}

TEST(RegFile, ReadsBackEveryTypeSizeAndName) {
    Snapshot snapshot{{{L"Software\\TarveloTests\\Types", {}}, {L"Software\\TarveloTests\\Names", {}}}};
    const DWORD types[] = {
        REG_NONE, REG_SZ,       REG_EXPAND_SZ,     REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN,
        REG_LINK, REG_MULTI_SZ, REG_RESOURCE_LIST, REG_QWORD,  0x12345678};
    for (const DWORD type : types)
        for (const size_t size : {0, 1, 3, 4, 5, 8, 26, 300})
            snapshot.keys[0].values.push_back(
                SnapshotValue::Present(std::to_wstring(type) + L"-" + std::to_wstring(size), type,
                                       Bytes(size, static_cast<BYTE>(type))));
    for (const wchar_t* name : {L"", L"\"", L"\\", L"a\\\"b\"\\", L"= [x]", L"\x65B0\x7DB2"}) {
        snapshot.keys[1].values.push_back(SnapshotValue::Present(name, REG_SZ, Bytes(81)));
        // The same text as a quoted string's data.
        std::vector<BYTE> text;
        for (const wchar_t* c = name; *c != L'\0'; ++c)
            text.insert(text.end(), {static_cast<BYTE>(*c), static_cast<BYTE>(*c >> 8)});
        text.insert(text.end(), {0, 0});
        snapshot.keys[1].values.push_back(
            SnapshotValue::Present(std::wstring(L"text ") + name, REG_SZ, text));
    }
    snapshot.keys[1].values.push_back(SnapshotValue::Absent(L"Gone\\\""));

    const Outcome<Snapshot> parsed = ParseRegFile(EncodeRegFile(snapshot), kTestKeys);
    ASSERT_TRUE(parsed) << parsed.Error().Describe();
    EXPECT_EQ(parsed.Value(), snapshot);
}

TEST(RegFile, RefusesWhatWeDidNotWriteNamingTheLine) {
    const std::wstring header =
        L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\TarveloTests\\A]\r\n";
    const struct {
        std::wstring text;
        size_t line;
        const wchar_t* reason;
    } cases[] = {
        {L"REGEDIT4\r\n\r\n", 1, L"header"},
        {header + L"\"A\"=text\r\n", 4, L"unknown value syntax"},
        {header + L"\"A\"=\"text\r\n", 4, L"without closing quote"},
        {header + L"\"A\"=\"te\"xt\"\r\n", 4, L"after the closing quote"},
        {header + L"\"A\"=\"a\\nb\"\r\n", 4, L"unknown escape"},
        {header + std::wstring(L"\"A\"=\"a\0b\"\r\n", 11), 4, L"zero character"},
        {header + L"\"A\"=dword:00000001 \r\n", 4, L"eight hex digits"},
        {header + L"\"A\"=hex(7:00\r\n", 4, L"unknown value syntax"},
        {header + L"\"A\"=hex:01,2\r\n", 4, L"hex digits"},
        {header + L"\"A\"=hex:01,,02\r\n", 4, L"hex digits"},
        {header + L"\"A\"=hex:01,\\\r\n  0g\r\n", 4, L"hex digits"},
        {header + L"\"A\"=hex:01,\\\r\n02\r\n", 5, L"continuation"},
        {header + L"\"A\"=hex:01,\\\r\n", 4, L"file ends"},
        {header + L"\"A\"=dword:1234567\r\n", 4, L"eight hex digits"},
        {header + L"\"A\\n\"=-\r\n", 4, L"escape"},
        {header + L"\"A\"=-\r\n\"a\"=-\r\n", 5, L"value named twice"},
        {header + L"A=-\r\n", 4, L"malformed line"},
        {header + L"\"A\"=-\n\"B\"=-\r\n", 4, L"CR LF"},
        {L"Windows Registry Editor Version 5.00\r\n\"A\"=-\r\n", 2, L"before the first key"},
        {header + L"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet]\r\n", 4, L"outside the allowed"},
        {header + L"[HKEY_LOCAL_MACHINE\\Software\\TarveloTests\\A\\B]\r\n", 4, L"outside the allowed"},
        {header + L"[HKEY_CURRENT_USER\\Software\\TarveloTests\\A]\r\n", 4, L"not below HKEY_LOCAL_MACHINE"},
        {header + L"[-HKEY_LOCAL_MACHINE\\Software\\TarveloTests\\A]\r\n", 4, L"deletions"},
        {header + L"[hkey_local_machine\\SOFTWARE\\tarvelotests\\a]\r\n", 4, L"key named twice"},
    };
    for (const auto& c : cases) {
        const Outcome<Snapshot> parsed = ParseRegFile(Utf16File(c.text), kTestKeys);
        ASSERT_FALSE(parsed) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(parsed.Error().line, c.line) << parsed.Error().Describe();
        EXPECT_NE(parsed.Error().reason.find(c.reason), std::wstring::npos) << parsed.Error().Describe();
    }

    const std::string ascii = "Windows Registry Editor Version 5.00\r\n";
    const Outcome<Snapshot> plain = ParseRegFile(std::vector<BYTE>(ascii.begin(), ascii.end()), kTestKeys);
    ASSERT_FALSE(plain);
    EXPECT_EQ(plain.Error().Describe(), L"line 1: not a UTF-16LE file with a byte-order mark");
    std::vector<BYTE> huge = Utf16File(header);
    huge.resize(kMaxRegFileBytes + 2, ' ');
    EXPECT_FALSE(ParseRegFile(huge, kTestKeys));
}
