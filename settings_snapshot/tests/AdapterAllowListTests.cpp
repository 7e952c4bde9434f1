// The allow-list of adapter snapshots: every shape our programs write is accepted, and
// each key, name, type and size they never write refuses the whole file at its line.
#include <gtest/gtest.h>

#include <algorithm>

#include "settings_snapshot/AdapterAllowList.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/RegFileFormat.h"
#include "settings_snapshot/RegFileParser.h"
#include "settings_snapshot/SnapshotFile.h"
#include "settings_snapshot/SnapshotAdapters.h"
#include "settings_snapshot/ValueText.h"

using namespace SettingsSnapshot;

namespace {

// NetworkCards spells the service in upper case, the interface keys in lower case.
const std::wstring kService = L"{7C0A1B2C-0000-4000-8000-000000000001}";
const std::wstring kFileService = L"{7c0a1b2c-0000-4000-8000-000000000001}";
const AdapterAllowList kAllowed({kService, L"{7C0A1B2C-0000-4000-8000-000000000002}"});

std::vector<BYTE> Text(const std::wstring& text, size_t zeros = 1) {
    std::vector<BYTE> bytes;
    for (const wchar_t c : text) bytes.insert(bytes.end(), {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8)});
    bytes.insert(bytes.end(), zeros * 2, 0);
    return bytes;
}

std::vector<BYTE> Utf16File(const std::wstring& text) {
    std::vector<BYTE> bytes{0xFF, 0xFE};
    for (const wchar_t c : text) bytes.insert(bytes.end(), {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8)});
    return bytes;
}

SnapshotValue List(const wchar_t* name, const std::wstring& first) {
    return SnapshotValue::Present(name, REG_MULTI_SZ, Text(first, 2));
}

// The values both programs capture in the two adapter keys.
std::vector<SnapshotValue> AddressValues() {
    return {List(L"IPAddress", L"10.0.1.5"), List(L"SubnetMask", L"255.255.255.0"),
            SnapshotValue::Absent(L"DefaultGateway"),
            SnapshotValue::Present(L"NameServer", REG_SZ, Text(L"")),
            SnapshotValue::Present(L"EnableDHCP", REG_DWORD, {1, 0, 0, 0})};
}

// A file beside the test program.
std::wstring BesideTheProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\') + 1) + name;
}

}  // namespace

TEST(AdapterAllowList, AcceptsEverySnapshotShapeOurProgramsWrite) {
    const Snapshot wizard{
        {{kTcpipParametersKey, {SnapshotValue::Present(L"NameServer", REG_SZ, Text(L"1.1.1.1"))}},
         {AdapterTcpipKey(kFileService), AddressValues()},
         {TcpipInterfaceKey(kFileService), AddressValues()},
         {NetbtInterfaceKey(kFileService), {SnapshotValue::Absent(L"NameServerList")}}}};
    Snapshot tool = wizard;
    tool.keys[3].values = {List(L"NameServerList", std::wstring(2040, L'9'))};  // 4,096 bytes
    tool.keys.push_back({NetbtAdapterKey(kFileService),
                         {SnapshotValue::Present(L"NameServer", REG_SZ, Text(L"3.3.3.3")),
                          SnapshotValue::Absent(L"NamerServerBackup")}});
    for (const Snapshot* snapshot : {&wizard, static_cast<const Snapshot*>(&tool)}) {
        const Outcome<Snapshot> parsed = ParseRegFile(EncodeRegFile(*snapshot), kAllowed);
        ASSERT_TRUE(parsed) << std::string(parsed.Error().Describe().begin(),
                                           parsed.Error().Describe().end());
        EXPECT_EQ(parsed.Value(), *snapshot);
    }
}

TEST(AdapterAllowList, RefusesEveryKeyNameTypeAndSizeOurProgramsNeverWrite) {
    const std::wstring header = L"Windows Registry Editor Version 5.00\r\n\r\n";
    const std::wstring services = L"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\";
    const std::wstring adapter = services + kFileService + L"\\Parameters\\Tcpip]\r\n";
    const std::wstring netbtInterface =
        services + L"NetBT\\Parameters\\Interfaces\\Tcpip_" + kFileService + L"]\r\n";
    const std::wstring parameters = services + L"Tcpip\\Parameters]\r\n";
    const std::wstring address = L"\"IPAddress\"=hex(7):31,00,00,00,00,00\r\n";
    const std::wstring hexKiB = [] {
        std::wstring run = L"31,00";
        for (int i = 1; i < 2049; ++i) run += L",31,00";  // 4,098 bytes
        return run;
    }();
    const struct {
        std::wstring body;
        size_t line;
        const wchar_t* reason;
    } cases[] = {
        {services + L"{7C0A1B2C-0000-4000-8000-000000000003}\\Parameters\\Tcpip]\r\n", 3,
         L"is not one our snapshots hold"},
        {services + L"VictimSvc\\Parameters\\Tcpip]\r\n" + address, 3, L"is not one our snapshots hold"},
        {services + kFileService + std::wstring(L"\0x", 2) + L"\\Parameters\\Tcpip]\r\n", 3,
         L"control character"},
        {services + kFileService + L"\x85\\Parameters\\Tcpip]\r\n", 3, L"control character"},
        {services + L"Tcpip]\r\n", 3, L"is not one our snapshots hold"},
        {services.substr(0, services.size() - 1) + L"]\r\n", 3, L"is not one our snapshots hold"},
        {services + L"Tcpip\\Parameters\\Interfaces]\r\n", 3, L"is not one our snapshots hold"},
        {services + L"NetBT\\Parameters\\Interfaces\\" + kFileService + L"]\r\n", 3,
         L"is not one our snapshots hold"},
        {services + L"Tcpip\\Parameters\\Interfaces\\" + kFileService + L"\\x]\r\n", 3,
         L"is not one our snapshots hold"},
        {parameters + L"\"DataBasePath\"=hex(2):5c,00,00,00\r\n", 4, L"not one our snapshots hold"},
        {parameters + L"\"Hostname\"=-\r\n", 4, L"not one our snapshots hold"},
        {parameters + address, 4, L"not one our snapshots hold"},
        {adapter + L"\"NameServerList\"=-\r\n", 4, L"not one our snapshots hold"},
        {netbtInterface + L"\"NamerServerBackup\"=-\r\n", 4, L"not one our snapshots hold"},
        {adapter + L"@=-\r\n", 4, L"default value"},
        {adapter + L"\"IPAddress\"=\"10.0.1.5\"\r\n", 4, L"type"},
        {adapter + L"\"IPAddress\"=hex(1):31,00,00,00\r\n", 4, L"type"},
        {adapter + L"\"IPAddress\"=hex(6):31,00,00,00\r\n", 4, L"type"},
        {adapter + L"\"IPAddress\"=hex(0):\r\n", 4, L"type"},
        {adapter + L"\"EnableDHCP\"=hex(4):00,00,00\r\n", 4, L"four bytes"},
        {adapter + L"\"EnableDHCP\"=hex(4):00,00,00,00,00,00,00,00\r\n", 4, L"four bytes"},
        {adapter + L"\"EnableDHCP\"=hex:00,00,00,00\r\n", 4, L"type"},
        {adapter + L"\"IPAddress\"=hex(7):" + hexKiB + L"\r\n", 4, L"longer than 4096"},
        {adapter + L"\"IPAddress\"=hex(7):31,00,00\r\n", 4, L"odd number"},
        {adapter + L"\"IPAddress\x01\"=-\r\n", 4, L"control character"},
        {adapter + std::wstring(L"\"IPAddress\0x\"=-\r\n", 17), 4, L"control character"},
        {adapter + address + L"\"SubnetMask\"=hex(7):" + hexKiB + L"\r\n", 5, L"longer than 4096"},
    };
    for (const auto& c : cases) {
        const Outcome<Snapshot> parsed = ParseRegFile(Utf16File(header + c.body), kAllowed);
        ASSERT_FALSE(parsed) << std::string(c.body.begin(), c.body.end());
        EXPECT_EQ(parsed.Error().line, c.line) << std::string(c.body.begin(), c.body.end());
        EXPECT_NE(parsed.Error().reason.find(c.reason), std::wstring::npos)
            << std::string(parsed.Error().reason.begin(), parsed.Error().reason.end());
    }
}

TEST(AdapterSnapshot, NamesEachAdapterOnceAndFindsItsFirstValue) {
    const std::wstring other = L"{7C0A1B2C-0000-4000-8000-000000000002}";
    const Snapshot snapshot{
        {{kTcpipParametersKey, {SnapshotValue::Present(L"NameServer", REG_SZ, Text(L"1.1.1.1"))}},
         {NetbtInterfaceKey(other), {SnapshotValue::Absent(L"NameServerList")}},
         {TcpipInterfaceKey(kFileService), {SnapshotValue::Absent(L"IPAddress")}},
         {AdapterTcpipKey(other), {List(L"IPAddress", L"10.0.2.5")}},
         {AdapterTcpipKey(kService), {List(L"IPAddress", L"10.0.1.5"), List(L"SubnetMask", L"255.0.0.0")}}}};
    EXPECT_EQ(AdaptersNamedIn(snapshot), (std::vector<std::wstring>{kFileService, other}));
    // The first of the service's keys in the file decides, even where it says absent.
    EXPECT_EQ(AdapterValueIn(snapshot, kService, L"ipaddress"), &snapshot.keys[2].values[0]);
    EXPECT_EQ(AdapterValueIn(snapshot, kService, L"SubnetMask"), &snapshot.keys[4].values[1]);
    EXPECT_EQ(AdapterValueIn(snapshot, other, L"SubnetMask"), nullptr);
    EXPECT_EQ(AdapterValueIn(snapshot, L"{7C0A1B2C}", L"IPAddress"), nullptr);
    EXPECT_TRUE(AdaptersNamedIn(Snapshot{{snapshot.keys[0], snapshot.keys[1]}}).empty());
}

TEST(AdapterSnapshot, AValuesTextsEndAtTheirZeros) {
    const auto texts = [](DWORD type, const std::vector<BYTE>& data) {
        return ValueTexts(SnapshotValue::Present(L"V", type, data));
    };
    using Texts = std::vector<std::wstring>;
    EXPECT_EQ(texts(REG_MULTI_SZ, Text(std::wstring(L"10.0.1.5\0\x65B0", 10), 2)),
              (Texts{L"10.0.1.5", L"\x65B0"}));
    EXPECT_EQ(texts(REG_MULTI_SZ, Text(std::wstring(L"a\0\0b", 4), 1)),
              Texts{L"a"});  // an empty entry ends the list
    EXPECT_EQ(texts(REG_SZ, Text(std::wstring(L"1.1.1.1\0x", 9), 1)),
              Texts{L"1.1.1.1"});                                          // a text ends at its first zero
    EXPECT_EQ(texts(REG_EXPAND_SZ, {'a', 0, 'b', 0, 'c'}), Texts{L"ab"});  // unterminated, odd byte
    EXPECT_EQ(texts(REG_SZ, Text(L"")), Texts{});
    EXPECT_EQ(texts(REG_BINARY, Text(L"ab")), Texts{});
    EXPECT_EQ(ValueTexts(SnapshotValue::Absent(L"V")), Texts{});
}

// A file as the registry editor exports an adapter's keys (UTF-16LE, quoted strings),
// holding only what our snapshots hold, is read as our own; the same export with the
// parameters key's other values is refused by the first value's name.
TEST(AdapterAllowList, ReadsTheRegistryEditorsOwnExportAndRefusesOtherValuesByName) {
    const Outcome<std::vector<BYTE>> file = ReadSnapshotFile(BesideTheProgram(L"regedit-adapter-export.reg"));
    ASSERT_TRUE(file) << std::string(file.Error().Describe().begin(), file.Error().Describe().end());
    const Snapshot expected{
        {{TcpipInterfaceKey(kFileService),
          {SnapshotValue::Present(L"EnableDHCP", REG_DWORD, {0, 0, 0, 0}),
           List(L"IPAddress", L"192.168.5.20"), List(L"SubnetMask", L"255.255.255.0"),
           List(L"DefaultGateway", L"192.168.5.254"),
           SnapshotValue::Present(L"NameServer", REG_SZ, Text(L"203.0.113.53,198.51.100.53"))}},
         {kTcpipParametersKey, {SnapshotValue::Present(L"NameServer", REG_SZ, Text(L""))}},
         {NetbtInterfaceKey(kFileService),
          {SnapshotValue::Present(L"NameServerList", REG_MULTI_SZ,
                                  Text(std::wstring(L"192.168.5.70\0" L"192.168.5.71", 25), 2))}}}};
    const Outcome<Snapshot> parsed = ParseRegFile(file.Value(), kAllowed);
    ASSERT_TRUE(parsed) << std::string(parsed.Error().Describe().begin(), parsed.Error().Describe().end());
    EXPECT_EQ(parsed.Value(), expected);
    // Written back, the file is the registry editor's text again.
    EXPECT_EQ(EncodeRegFile(parsed.Value()), file.Value());

    std::vector<BYTE> exported = file.Value();
    const std::wstring others =
        L"\"DataBasePath\"=hex(2):25,00,53,00,79,00,73,00,00,00\r\n\"Hostname\"=\"pc\"\r\n";
    const std::wstring nameServer = L"\"NameServer\"=\"\"\r\n";
    const std::vector<BYTE> anchor = Text(nameServer, 0);
    auto at = std::search(exported.begin(), exported.end(), anchor.begin(), anchor.end());
    ASSERT_NE(at, exported.end());
    const std::vector<BYTE> inserted = Text(others, 0);
    exported.insert(at, inserted.begin(), inserted.end());
    const Outcome<Snapshot> refused = ParseRegFile(exported, kAllowed);
    ASSERT_FALSE(refused);
    EXPECT_EQ(
        refused.Error().Describe(),
        L"line 14: value DataBasePath of SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters is not one "
        L"our snapshots hold");
}
