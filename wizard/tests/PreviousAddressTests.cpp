// The adapter's earlier address as the wizard's snapshot holds it, which the way back
// hands to the network shell.
#include <gtest/gtest.h>

#include "platform/PreviousAddress.h"
#include "platform/RestoreModeChoices.h"
#include "settings_snapshot/AdapterKeys.h"

using namespace SettingsSnapshot;

namespace {

const std::wstring kService = L"{6B1E24D0-7F3C-4E1A-9D2B-5A1C0E8F3A01}";

std::vector<BYTE> Wide(const std::wstring& text, size_t zeros) {
    std::vector<BYTE> bytes;
    for (const wchar_t c : text + std::wstring(zeros, L'\0')) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    return bytes;
}
SnapshotValue List(const wchar_t* name, const std::wstring& text) {
    return SnapshotValue::Present(name, REG_MULTI_SZ, Wide(text, 2));
}
SnapshotValue Text(const wchar_t* name, const std::wstring& text) {
    return SnapshotValue::Present(name, REG_SZ, Wide(text, 1));
}
SnapshotValue Dword(const wchar_t* name, BYTE value) {
    return SnapshotValue::Present(name, REG_DWORD, {value, 0, 0, 0});
}

}  // namespace

TEST(PreviousAddress, StaticValuesOfTheInterfaceKey) {
    const Snapshot snapshot{{{TcpipInterfaceKey(kService),
                              {List(L"IPAddress", L"10.0.1.5"), List(L"SubnetMask", L"255.255.0.0"),
                               List(L"DefaultGateway", L"10.0.1.1"),
                               Text(L"NameServer", L"10.0.1.53,10.0.1.54"), Dword(L"EnableDHCP", 0)}}}};
    const std::optional<PreviousAddress> previous = PreviousAddressIn(snapshot, kService);
    ASSERT_TRUE(previous);
    EXPECT_FALSE(previous->dhcp);
    EXPECT_EQ(previous->address, "10.0.1.5");
    EXPECT_EQ(previous->mask, "255.255.0.0");
    EXPECT_EQ(previous->gateway, "10.0.1.1");
    EXPECT_EQ(previous->dnsServers, (std::vector<std::string>{"10.0.1.53", "10.0.1.54"}));
}

TEST(PreviousAddress, DhcpOnAndOlderLayoutAndNothingKnown) {
    // EnableDHCP on wins over any static values left behind.
    Snapshot snapshot{
        {{TcpipInterfaceKey(kService), {List(L"IPAddress", L"10.0.1.5"), Dword(L"EnableDHCP", 1)}}}};
    ASSERT_TRUE(PreviousAddressIn(snapshot, kService));
    EXPECT_TRUE(PreviousAddressIn(snapshot, kService)->dhcp);
    // Without the interface key's values, the per-service key (older layout); blank
    // separated servers, no gateway.
    snapshot = {
        {{TcpipInterfaceKey(kService), {SnapshotValue::Absent(L"IPAddress")}},
         {AdapterTcpipKey(kService),
          {List(L"IPAddress", L"10.0.2.5"), List(L"SubnetMask", L"255.0.0.0"), List(L"DefaultGateway", L""),
           Text(L"NameServer", L"10.0.2.53 10.0.2.54"), Dword(L"EnableDHCP", 0)}}}};
    std::optional<PreviousAddress> previous = PreviousAddressIn(snapshot, kService);
    ASSERT_TRUE(previous);
    EXPECT_FALSE(previous->dhcp);
    EXPECT_EQ(previous->address, "10.0.2.5");
    EXPECT_EQ(previous->gateway, "");
    EXPECT_EQ(previous->dnsServers, (std::vector<std::string>{"10.0.2.53", "10.0.2.54"}));
    // No EnableDHCP and no address: DHCP. Another service's keys: unknown.
    snapshot = {
        {{TcpipInterfaceKey(kService), {SnapshotValue::Absent(L"EnableDHCP"), List(L"IPAddress", L"")}}}};
    ASSERT_TRUE(PreviousAddressIn(snapshot, kService));
    EXPECT_TRUE(PreviousAddressIn(snapshot, kService)->dhcp);
    EXPECT_FALSE(PreviousAddressIn(snapshot, L"{other}"));
    // Static without an address is no earlier address to go back to.
    snapshot = {{{TcpipInterfaceKey(kService), {Dword(L"EnableDHCP", 0)}}}};
    EXPECT_FALSE(PreviousAddressIn(snapshot, kService));
}
// A line of the restore page: local time, adapter, what the snapshot holds, and the
// original's mark.
TEST(RestoreChoice, ReadsAsAPersonReadsIt) {
    SYSTEMTIME t{};
    t.wYear = 2026, t.wMonth = 3, t.wDay = 9, t.wHour = 7, t.wMinute = 5, t.wSecond = 0;
    PreviousAddress fixed;
    fixed.dhcp = false;
    fixed.address = "192.168.5.20";
    EXPECT_EQ(ChoiceLine(t, L"乙太網路", HeldText(true, fixed), false),
              L"2026/03/09 07:05:00\t乙太網路\t192.168.5.20");
    EXPECT_EQ(ChoiceLine(t, L"Wi-Fi", HeldText(true, PreviousAddress{}), true),
              L"2026/03/09 07:05:00\tWi-Fi\t自動取得 (DHCP)\t最初的設定");
    EXPECT_EQ(HeldText(false, fixed), L"無法讀取");
    EXPECT_EQ(HeldText(true, std::nullopt), L"無法讀取");
}
