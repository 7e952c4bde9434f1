// Dialogs from a numbered template: modal results, modeless life, control binding,
// and the routing of messages to handlers or to the default processing.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

#include "TestDialogs.h"
#include "dialog_framework/Button.h"
#include "dialog_framework/DataExchange.h"
#include "dialog_framework/Dialog.h"
#include "dialog_framework/IPAddressCtrl.h"
#include "dialog_framework/WinApp.h"

namespace {

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_TEST) { CWinApp::EnableCommonControls(); }

    std::function<void(TestDialog&)> onInit;
    std::function<void()> onOk;
    bool swallowSysCommands = false;
    bool nestOnClose = false;
    HICON dragIcon = nullptr;
    LRESULT notifyResult = 0;
    int initCalls = 0;
    BOOL missingBound = TRUE;

    CButton m_ok;
    CIPAddressCtrl m_address;
    CButton m_missing;

protected:
    void DoDataExchange(CDataExchange& dx) override {
        DDX_Control(dx, IDOK, m_ok);
        DDX_Control(dx, IDC_TEST_ADDRESS, m_address);
        missingBound = DDX_Control(dx, 999, m_missing);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ++initCalls;
        if (onInit) onInit(*this);
        return TRUE;
    }
    void OnSysCommand(UINT id, LPARAM lParam) override {
        if (id == SC_CLOSE && nestOnClose) {
            // Kept here, but a nested message that goes to the default processing
            // comes first; it must not decide for this one.
            SendMessage(WM_SYSCOMMAND, 0x0200, 0);
            return;
        }
        if (!swallowSysCommands) CDialog::OnSysCommand(id, lParam);
    }
    void OnOK() override {
        if (onOk)
            onOk();
        else
            CDialog::OnOK();
    }
    HCURSOR OnQueryDragIcon() override { return dragIcon; }
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override {
        if (reinterpret_cast<const NMHDR*>(lParam)->code != 42) return FALSE;
        *result = notifyResult;
        return TRUE;
    }
};

void CALLBACK EndWithResult99(HWND dialog, UINT, UINT_PTR, DWORD) {
    EndDialog(dialog, 99);
}

TEST(Dialog, ModalResultFollowsTheCommand) {
    struct Case {
        const char* name;
        std::function<void(HWND)> action;
        INT_PTR result;
    };
    const Case cases[] = {
        {"OK button", [](HWND d) { PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }, IDOK},
        {"Cancel button", [](HWND d) { PostMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); }, IDCANCEL},
        {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        // Esc pressed on the focused control (OK, the first tab stop); a lost key ends the wait with 99.
        {"Esc",
         [](HWND d) {
             PostMessageW(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
             SetTimer(d, 1, 5000, EndWithResult99);
         },
         IDCANCEL},
        {"EndDialog", [](HWND d) { EndDialog(d, 7); }, 7},
    };
    for (const Case& c : cases) {
        TestDialog dialog;
        dialog.onInit = [&](TestDialog& d) { c.action(d.GetSafeHwnd()); };
        EXPECT_EQ(dialog.DoModal(), c.result) << c.name;
        EXPECT_EQ(dialog.GetSafeHwnd(), nullptr) << c.name;
        EXPECT_EQ(dialog.initCalls, 1) << c.name;
    }
}

TEST(Dialog, MissingTemplateFailsInsteadOfShowing) {
    CDialog dialog(4711);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(dialog.Create(4711));
}

TEST(Dialog, DataExchangeBindsControlsByNumber) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST));
    EXPECT_EQ(dialog.m_ok.GetSafeHwnd(), GetDlgItem(dialog.GetSafeHwnd(), IDOK));
    EXPECT_EQ(dialog.m_address.GetSafeHwnd(), GetDlgItem(dialog.GetSafeHwnd(), IDC_TEST_ADDRESS));
    EXPECT_FALSE(dialog.missingBound);
    EXPECT_EQ(dialog.m_missing.GetSafeHwnd(), nullptr);
}

TEST(Dialog, ModelessWindowEndsWithEndDialogOrWithTheObject) {
    HWND hwnd = nullptr;
    {
        TestDialog dialog;
        ASSERT_TRUE(dialog.Create(IDD_TEST));
        hwnd = dialog.GetSafeHwnd();
        EXPECT_FALSE(dialog.Create(IDD_TEST)) << "one window per object";
        dialog.ShowWindow(SW_SHOWNORMAL);
        EXPECT_TRUE(IsWindowVisible(hwnd));
        dialog.EndDialog(IDCANCEL);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);

        ASSERT_TRUE(dialog.Create(IDD_TEST));
        hwnd = dialog.GetSafeHwnd();
        // WM_CLOSE reaches OnCancel, which closes a modeless dialog too.
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
        PumpMessages();
        EXPECT_FALSE(IsWindow(hwnd));

        ASSERT_TRUE(dialog.Create(IDD_TEST));
        hwnd = dialog.GetSafeHwnd();
    }
    EXPECT_FALSE(IsWindow(hwnd)) << "the object's end destroys its open window";
}

TEST(Dialog, HandlersDecideBetweenOwnAndDefaultProcessing) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST));
    const HWND hwnd = dialog.GetSafeHwnd();

    dialog.swallowSysCommands = true;
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(hwnd)) << "a handler that does not call the base keeps the command";

    dialog.swallowSysCommands = false;
    dialog.nestOnClose = true;
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(hwnd));
    dialog.nestOnClose = false;

    dialog.dragIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(hwnd, WM_QUERYDRAGICON, 0, 0)), dialog.dragIcon);

    NMHDR notification{GetDlgItem(hwnd, IDOK), IDOK, 42};
    dialog.notifyResult = 77;
    EXPECT_EQ(SendMessageW(hwnd, WM_NOTIFY, IDOK, reinterpret_cast<LPARAM>(&notification)), 77);

    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(hwnd)) << "the base passes the command on";
}

TEST(Dialog, TemplateTextsStayUnicode) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST));
    wchar_t text[64] = L"";
    GetWindowTextW(dialog.GetSafeHwnd(), text, 64);
    EXPECT_EQ(std::wstring(text), L"框架測試");
    GetDlgItemTextW(dialog.GetSafeHwnd(), IDC_TEST_TEXT, text, 64);
    EXPECT_EQ(std::wstring(text), L"測試文字");
    EXPECT_TRUE(IsWindowUnicode(dialog.GetSafeHwnd()));
}

TEST(Dialog, AHandlersExceptionIsShownAndLeavesCancelAsAWayOut) {
    TestDialog dialog;
    std::atomic<HWND> page{nullptr};
    dialog.onOk = [] { throw std::runtime_error("disk on fire"); };
    dialog.onInit = [&](TestDialog& d) {
        page = d.GetSafeHwnd();
        EnableWindow(GetDlgItem(page, IDCANCEL), FALSE);
        PostMessageW(GetDlgItem(page, IDOK), BM_CLICK, 0, 0);
    };
    // A message box owned by the dialog: read it, close it, then leave through Cancel.
    std::wstring shown;
    std::atomic<bool> cancelEnabled{false};
    std::thread user([&] {
        for (int i = 0; i < 400; ++i, Sleep(25)) {
            HWND box = nullptr;
            while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr)
                if (page != nullptr && GetWindow(box, GW_OWNER) == page.load()) break;
            if (box == nullptr) continue;
            wchar_t text[128] = L"";
            GetDlgItemTextW(box, 0xFFFF, text, 128);
            shown = text;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            cancelEnabled = IsWindowEnabled(GetDlgItem(page, IDCANCEL)) != FALSE;
            PostMessageW(GetDlgItem(page, IDCANCEL), BM_CLICK, 0, 0);
            return;
        }
        PostMessageW(page, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << "the dialog survived and Cancel ended it";
    user.join();
    EXPECT_EQ(shown, L"disk on fire");
    EXPECT_TRUE(cancelEnabled);
}

}  // namespace
