// The address control wrapper: what it shows in its four fields and reports as text.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "TestDialogs.h"
#include "dialog_framework/ComboBox.h"
#include "dialog_framework/DataExchange.h"
#include "dialog_framework/Dialog.h"
#include "dialog_framework/Gdi.h"
#include "dialog_framework/IPAddressCtrl.h"
#include "dialog_framework/WinApp.h"

namespace {

class AddressDialog : public CDialog {
public:
    AddressDialog() : CDialog(IDD_TEST) { CWinApp::EnableCommonControls(); }
    CIPAddressCtrl m_address;

protected:
    void DoDataExchange(CDataExchange& dx) override { DDX_Control(dx, IDC_TEST_ADDRESS, m_address); }
};

// The field windows' texts, left to right.
std::vector<std::string> Shown(const CIPAddressCtrl& control) {
    std::vector<std::pair<LONG, std::string>> fields;
    for (HWND f = GetWindow(control.GetSafeHwnd(), GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
        RECT rect{};
        GetWindowRect(f, &rect);
        char text[16] = "";
        GetWindowTextA(f, text, 16);
        fields.emplace_back(rect.left, text);
    }
    std::sort(fields.begin(), fields.end());
    std::vector<std::string> texts;
    for (const auto& field : fields) texts.push_back(field.second);
    return texts;
}

using Fields = std::vector<std::string>;

TEST(IPAddressCtrl, ShowsWhatItIsGiven) {
    AddressDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST));
    CIPAddressCtrl& address = dialog.m_address;
    EXPECT_TRUE(address.IsBlank());

    address.SetWindowText("192.168.5.254");
    EXPECT_EQ(Shown(address), (Fields{"192", "168", "5", "254"}));
    EXPECT_EQ(address.GetWindowText(), "192.168.5.254");
    EXPECT_FALSE(address.IsBlank());

    address.SetWindowText("255.255.255.0");
    EXPECT_EQ(Shown(address), (Fields{"255", "255", "255", "0"}));

    // Texts that are no complete address show the numeric fields they have.
    address.SetWindowText("1.2..254");
    EXPECT_EQ(Shown(address), (Fields{"1", "2", "", "254"}));
    address.SetWindowText(".254");
    EXPECT_EQ(Shown(address), (Fields{"", "254", "", ""}));
    address.SetWindowText("a.254");
    EXPECT_EQ(Shown(address), (Fields{"", "254", "", ""}));
    address.SetWindowText("300.1.2.3");
    EXPECT_EQ(Shown(address), (Fields{"", "1", "2", "3"}));

    address.SetAddress(10, 0, 0, 1);
    EXPECT_EQ(address.GetWindowText(), "10.0.0.1");
    address.ClearAddress();
    EXPECT_TRUE(address.IsBlank());
    EXPECT_EQ(Shown(address), (Fields{"", "", "", ""}));
}

TEST(IPAddressCtrl, ParsesOnlyCompleteDottedAddresses) {
    EXPECT_EQ(ParseDottedAddress("192.168.5.20"), std::optional<DWORD>(0xC0A80514u));
    EXPECT_EQ(ParseDottedAddress("0.0.0.0"), std::optional<DWORD>(0u));
    EXPECT_EQ(ParseDottedAddress("255.255.255.255"), std::optional<DWORD>(0xFFFFFFFFu));
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..3.4", "a.b.c.d", "1.2.3.4 ",
                            "-1.2.3.4", "1.2.3.0004", ".254"}) {
        EXPECT_FALSE(ParseDottedAddress(bad).has_value()) << bad;
    }
}

TEST(Gdi, SelectionIsUndoneAtScopeEnd) {
    const CClientDC screen(nullptr);
    const CMemoryDC memory(screen.GetSafeHdc());
    ASSERT_NE(memory.GetSafeHdc(), nullptr);
    const HGDIOBJ original = GetCurrentObject(memory.GetSafeHdc(), OBJ_BITMAP);
    const std::unique_ptr<std::remove_pointer_t<HBITMAP>, BOOL(WINAPI*)(HGDIOBJ)> bitmap(
        CreateCompatibleBitmap(screen.GetSafeHdc(), 4, 4), &DeleteObject);
    {
        const CSelectObject selection(memory.GetSafeHdc(), bitmap.get());
        EXPECT_EQ(GetCurrentObject(memory.GetSafeHdc(), OBJ_BITMAP), bitmap.get());
    }
    EXPECT_EQ(GetCurrentObject(memory.GetSafeHdc(), OBJ_BITMAP), original);
}

// The combo box wrapper's dropped-down list shows each entry in full, and is never
// narrower than the control.
TEST(ComboBox, DroppedListFitsTheLongestEntry) {
    AddressDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST));
    const HWND window =
        CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, 80, 120,
                        dialog.GetSafeHwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    CComboBox list;
    list.Attach(window);
    RECT control{};
    GetClientRect(window, &control);

    EXPECT_EQ(list.AddString(L"Wi-Fi"), 0);
    list.FitDroppedWidth();
    EXPECT_EQ(SendMessageW(window, CB_GETDROPPEDWIDTH, 0, 0), control.right);

    const std::wstring longest = L"乙太網路 2 (Intel(R) Ethernet Connection (7) I219-V) 已連線";
    EXPECT_EQ(list.AddString(longest), 1);
    EXPECT_EQ(list.SetCurSel(1), 1);
    EXPECT_EQ(list.GetCurSel(), 1);
    list.FitDroppedWidth();
    const HDC dc = GetDC(window);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, longest.c_str(), static_cast<int>(longest.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    EXPECT_GT(SendMessageW(window, CB_GETDROPPEDWIDTH, 0, 0), extent.cx);
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
}

}  // namespace
