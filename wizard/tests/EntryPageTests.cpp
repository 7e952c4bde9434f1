// The entry page run in the test's own process (modeless), for what cannot be seen
// from outside: the system menu's entries, the icons, notification routing.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "apply/AddressRules.h"
#include "pages/ApplyMessages.h"
#include "pages/FinishDlg.h"
#include "pages/TarveloIPDlg.h"
#include "dialog_framework/WinApp.h"
#include "resources/resource.h"

namespace {

using AdapterInventory::Adapter;
using AdapterInventory::LinkState;
using AdapterInventory::Medium;

Adapter MakeAdapter(const wchar_t* connection, const wchar_t* description, Medium medium, LinkState state,
                    bool physical = true) {
    Adapter adapter;
    adapter.serviceName = std::wstring(L"{") + connection + L"}";
    adapter.connectionName = connection;
    adapter.description = description;
    adapter.medium = medium;
    adapter.state = state;
    adapter.physical = physical;
    adapter.isVirtual = !physical;
    return adapter;
}

// The page over a fixed list of adapters instead of the machine's.
class EntryPage : public ::testing::Test {
protected:
    explicit EntryPage(std::vector<Adapter> adapters = {MakeAdapter(L"乙太網路", L"PCIe GbE", Medium::Wired,
                                                                    LinkState::Unknown)})
        : m_page(nullptr, [adapters] { return adapters; }) {}

    void SetUp() override {
        CWinApp::EnableCommonControls();
        ASSERT_TRUE(m_page.Create(IDD_ENTRY_PAGE));
        m_hwnd = m_page.GetSafeHwnd();
    }

    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }

    // Sends the page a field-changed notification as control `from` would; returns
    // the notification result.
    LRESULT NotifyFieldChanged(int from) const {
        NMIPADDRESS notification{};
        notification.hdr.hwndFrom = Item(from);
        notification.hdr.idFrom = static_cast<UINT_PTR>(from);
        notification.hdr.code = static_cast<UINT>(IPN_FIELDCHANGED);
        return SendMessageW(m_hwnd, WM_NOTIFY, static_cast<WPARAM>(from),
                            reinterpret_cast<LPARAM>(&notification));
    }

    static void PumpMessages() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    static bool FieldsBlank(HWND control) {
        for (HWND field = GetWindow(control, GW_CHILD); field != nullptr;
             field = GetWindow(field, GW_HWNDNEXT))
            if (GetWindowTextLengthW(field) != 0) return false;
        return true;
    }

    static std::string Text(HWND window) {
        char text[256] = "";
        GetWindowTextA(window, text, 256);
        return text;
    }

    std::vector<std::wstring> AdapterEntries() const {
        std::vector<std::wstring> entries;
        const int count = static_cast<int>(SendMessageW(Item(IDC_ADAPTER), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = L"";
            SendMessageW(Item(IDC_ADAPTER), CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(text));
            entries.emplace_back(text);
        }
        return entries;
    }

    CTarveloIPDlg m_page;
    HWND m_hwnd = nullptr;
};

TEST_F(EntryPage, SystemMenuEndsWithSeparatorAndAboutEntry) {
    const HMENU menu = GetSystemMenu(m_hwnd, FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 3);
    EXPECT_NE(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR, 0u);
    wchar_t text[128] = L"";
    GetMenuStringW(menu, static_cast<UINT>(count - 1), text, 128, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"關於 TarveloIP(&A)...");
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    // Only one entry is added, and only there.
    EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(count - 3), MF_BYPOSITION) & MF_SEPARATOR, 0u);
}

// Icon 128 at the system's sizes for a large and a small icon, the large one for dragging.
TEST_F(EntryPage, UsesIcon128AtTheSystemIconSizes) {
    const auto sizeOf = [](HICON icon) {
        ICONINFO info{};
        if (icon == nullptr || !GetIconInfo(icon, &info)) return SIZE{};
        BITMAP bitmap{};
        GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
        DeleteObject(info.hbmMask);
        if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
        return SIZE{bitmap.bmWidth, info.hbmColor != nullptr ? bitmap.bmHeight : bitmap.bmHeight / 2};
    };
    const auto large = reinterpret_cast<HICON>(SendMessageW(m_hwnd, WM_GETICON, ICON_BIG, 0));
    const auto small = reinterpret_cast<HICON>(SendMessageW(m_hwnd, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(sizeOf(large).cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(sizeOf(large).cy, GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(sizeOf(small).cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(sizeOf(small).cy, GetSystemMetrics(SM_CYSMICON));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(m_hwnd, WM_QUERYDRAGICON, 0, 0)), large);
}

TEST_F(EntryPage, EveryChangeOfTheAddressDerivesAndNothingStaleStays) {
    // The control's text change (EN_CHANGE) derives at once, and so does its
    // field-changed notification, whose result is 0.
    SendMessageW(Item(IDC_ADDRESS), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 5, 20));
    EXPECT_EQ(NotifyFieldChanged(IDC_ADDRESS), 0);
    EXPECT_EQ(Text(Item(IDC_MASK)), FixedSubnetMask);
    EXPECT_EQ(Text(Item(IDC_GATEWAY)), "192.168.5.254");
    EXPECT_EQ(Text(Item(IDC_DNS_PREFERRED)), ProviderDnsPrimary);
    EXPECT_EQ(Text(Item(IDC_DNS_ALTERNATE)), ProviderDnsSecondary);
    EXPECT_TRUE(IsWindowEnabled(Item(IDOK)));

    // No longer usable: nothing stale stays, Next goes off; the result is still 0.
    SendMessageW(Item(IDC_ADDRESS), IPM_SETADDRESS, 0, MAKEIPADDRESS(10, 1, 0, 7));
    EXPECT_EQ(NotifyFieldChanged(IDC_ADDRESS), 0);
    for (const int id : {IDC_MASK, IDC_GATEWAY, IDC_DNS_PREFERRED, IDC_DNS_ALTERNATE})
        EXPECT_TRUE(FieldsBlank(Item(id))) << id;
    EXPECT_FALSE(IsWindowEnabled(Item(IDOK)));
}

// A laptop whose IP Helper knows its links (Windows does; Wine does not know seeded
// adapters): the connected wired adapter is preselected, each entry shows its state.
class EntryPageOnALaptop : public EntryPage {
protected:
    EntryPageOnALaptop()
        : EntryPage(
              {MakeAdapter(L"Wi-Fi", L"Wireless-AC", Medium::WiFi, LinkState::Connected),
               MakeAdapter(L"乙太網路", L"PCIe GbE", Medium::Wired, LinkState::NotConnected),
               MakeAdapter(L"乙太網路 2", L"USB GbE", Medium::Wired, LinkState::Connected),
               MakeAdapter(L"藍牙網路連線", L"Bluetooth PAN", Medium::Other, LinkState::Unknown, false)}) {}
};

TEST_F(EntryPageOnALaptop, ListsEveryAdapterWithItsStateAndPreselectsTheConnectedWiredOne) {
    EXPECT_EQ(AdapterEntries(),
              (std::vector<std::wstring>{L"Wi-Fi (Wireless-AC) 已連線", L"乙太網路 (PCIe GbE) 未連線",
                                         L"乙太網路 2 (USB GbE) 已連線", L"藍牙網路連線 (Bluetooth PAN)"}));
    EXPECT_EQ(SendMessageW(Item(IDC_ADAPTER), CB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_ADAPTER)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_NO_ADAPTER)));
    SendMessageW(Item(IDC_ADDRESS), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 5, 20));
    NotifyFieldChanged(IDC_ADDRESS);
    EXPECT_TRUE(IsWindowEnabled(Item(IDOK)));
}

class EntryPageWithoutAdapters : public EntryPage {
protected:
    EntryPageWithoutAdapters() : EntryPage(std::vector<Adapter>{}) {}
};

TEST_F(EntryPageWithoutAdapters, SaysSoInPlaceOfTheListAndNextStaysOff) {
    EXPECT_FALSE(IsWindowVisible(Item(IDC_ADAPTER)));
    ASSERT_TRUE(IsWindowVisible(Item(IDC_NO_ADAPTER)));
    wchar_t text[64] = L"";
    GetWindowTextW(Item(IDC_NO_ADAPTER), text, 64);
    EXPECT_EQ(std::wstring(text), L"找不到網路卡");
    SendMessageW(Item(IDC_ADDRESS), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 5, 20));
    NotifyFieldChanged(IDC_ADDRESS);
    EXPECT_EQ(Text(Item(IDC_GATEWAY)), "192.168.5.254");
    EXPECT_FALSE(IsWindowEnabled(Item(IDOK)));
    SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDOK)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDCANCEL)));
}

// Closes the note window as soon as it shows up in this process.
class NoteCloser {
public:
    NoteCloser()
        : m_thread([this] {
              for (int i = 0; i < 400 && !m_closed; ++i) {
                  const HWND note = FindWindowW(nullptr, L"TarveloIP");
                  DWORD process = 0;
                  if (note != nullptr && GetWindowThreadProcessId(note, &process) &&
                      process == GetCurrentProcessId() && IsWindowVisible(note)) {
                      m_sawWaitText = GetWindowTextLengthW(GetWindow(note, GW_CHILD)) > 0;
                      PostMessageW(note, WM_CLOSE, 0, 0);
                      m_closed = true;
                  }
                  Sleep(25);
              }
          }) {}
    ~NoteCloser() { m_thread.join(); }
    bool Closed() const { return m_closed; }
    bool SawWaitText() const { return m_sawWaitText; }

private:
    std::atomic<bool> m_closed{false};
    std::atomic<bool> m_sawWaitText{false};
    std::thread m_thread;
};

TEST_F(EntryPage, AboutCommandShowsTheNoteUntilItIsClosed) {
    for (const WPARAM command : {WPARAM{IDM_ABOUTBOX}, WPARAM{IDM_ABOUTBOX | 0x3}}) {
        NoteCloser closer;
        // Returns only once the modal note window has ended.
        SendMessageW(m_hwnd, WM_SYSCOMMAND, command, 0);
        EXPECT_TRUE(closer.Closed()) << command;
        EXPECT_TRUE(closer.SawWaitText());
        EXPECT_TRUE(IsWindow(m_hwnd));
    }
}

TEST_F(EntryPage, OtherSystemCommandsGetDefaultHandling) {
    SendMessageW(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(m_hwnd));
}

}  // namespace

TEST_F(EntryPage, OkCommandWhileNextIsDisabledDoesNothing) {
    // Enter in a field sends the OK command even when Next is disabled; without an
    // address the sequence must not start (it would disable Exit first).
    ASSERT_FALSE(IsWindowEnabled(Item(IDOK)));
    SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDOK)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDCANCEL)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_ADDRESS)));
}

// The closing page's DNS line for each result code, and the messages after a failed
// apply and after the way back, from the wizard's own resources.
TEST(ClosingPageTexts, DnsLineNamesWhatTheReplySaid) {
    ConnectionReport report;
    report.dnsServer = "203.0.113.53";
    EXPECT_EQ(CFinishDlg::DnsLine(report), L"DNS 伺服器 203.0.113.53 沒有回應");
    report.results.dns.replied = true;
    const std::pair<uint8_t, const wchar_t*> lines[] = {
        {0, L"DNS 伺服器 203.0.113.53 有回應"},
        {5, L"DNS 伺服器 203.0.113.53 拒絕查詢"},
        {2, L"DNS 伺服器 203.0.113.53 無法查詢名稱（伺服器錯誤）"},
        {3, L"DNS 伺服器 203.0.113.53 無法查詢名稱（名稱不存在）"},
        {4, L"DNS 伺服器 203.0.113.53 不支援查詢"},
        {1, L"DNS 伺服器 203.0.113.53 無法處理查詢"},
        {11, L"DNS 伺服器 203.0.113.53 無法查詢名稱（代碼 11）"}};
    for (const auto& [code, line] : lines) {
        report.results.dns.resultCode = code;
        EXPECT_EQ(CFinishDlg::DnsLine(report), line) << int(code);
    }
}

TEST(ClosingPageTexts, MessagesSayWhatFailedAndHowFarPuttingBackGot) {
    ApplyFailure shell;
    shell.step = ApplyFailure::Step::NetworkShell;
    shell.exitStatus = 1;
    EXPECT_EQ(ApplyFailureText(L"乙太網路", shell, WayBackOutcome()),
              L"設定網路卡「乙太網路」時，netsh 執行失敗（結束代碼 1）。\n\n"
              L"先前的設定已全部放回，電腦維持設定前的狀態。您可以按下一頁重試，或選擇其他網路卡。");
    ApplyFailure store;
    store.storeSteps = {StoreStep::SubnetMask, StoreStep::DisableDhcp};
    WayBackOutcome notRestored;
    notRestored.notRestored = SettingsSnapshot::Failure{L"", L"存取被拒。"};
    EXPECT_EQ(ApplyFailureText(L"Wi-Fi", store, notRestored),
              L"網路卡「Wi-Fi」的下列設定無法寫入：子網路遮罩、關閉DHCP\n\n"
              L"先前的設定無法放回，新設定可能部分保留：\n存取被拒。\n\n"
              L"請從開始功能表執行「復原先前的網路設定」，再重新啟動電腦。");
    WayBackOutcome liveFailed;
    liveFailed.liveFailed = {L"interface ipv4 set address name=\"Wi-Fi\" source=dhcp"};
    ApplyFailure tool;
    tool.step = ApplyFailure::Step::Tool;
    EXPECT_EQ(ApplyFailureText(L"Wi-Fi", tool, liveFailed),
              L"設定網路卡「Wi-Fi」時，無法啟動 Adapset。\n\n登錄中的先前設定已放回，但 netsh "
              L"無法恢復網路連線目前的"
              L"設定（interface ipv4 set address name=\"Wi-Fi\" "
              L"source=dhcp）。請重新啟動電腦。");

    EXPECT_EQ(WayBackText(L"乙太網路", PreviousAddress{}, WayBackOutcome()),
              L"已復原網路卡「乙太網路」先前的設定：自動取得 (DHCP)。不需要重新開機。");
    EXPECT_EQ(
        WayBackText(L"乙太網路", PreviousAddress{false, "10.0.1.5", "255.255.0.0", "10.0.1.1", {}},
                    WayBackOutcome()),
        L"已復原網路卡「乙太網路」先前的設定：IP位址 10.0.1.5，子網路遮罩 255.255.0.0，預設閘道 10.0.1.1。"
        L"不需要重新開機。");
    // Text from the snapshot that is no plain address is not shown.
    WayBackOutcome skipped;
    skipped.liveSkipped = true;
    EXPECT_EQ(
        WayBackText(L"乙太網路", PreviousAddress{false, "10.0.1.5\r\n", "255.255.0.0", "", {}}, skipped),
        L"已復原網路卡「乙太網路」在登錄中的先前設定：設定前登錄中的值。\n\n"
        L"登錄中的先前設定已放回；網路連線要在重新啟動電腦後才會恢復。請重新啟動電腦。");
}
