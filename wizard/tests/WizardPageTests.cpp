// The real TarveloIP.exe on the test display, driven from outside as a user would:
// typing into the address control, pressing buttons, using the system menu.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "adapter_inventory/AdapterInventory.h"
#include "apply/AddressRules.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/RegFileFormat.h"
#include "settings_snapshot/SnapshotHistory.h"
#include "test_support/GuiDriver.h"
#include "test_support/Process.h"
#include "test_support/WizardHarness.h"

using namespace TestSupport;

namespace {

const wchar_t kPageCaption[] = L"Tarvelo ADSL";
const wchar_t kNoteCaption[] = L"TarveloIP";
constexpr DWORD kWindowTimeoutMs = 20000;

std::string WizardPath() {
    return ModuleDirectory() + "..\\TarveloIP.exe";
}

UINT ExpectedCodePage() {
    const char* expected = std::getenv("TARVELO_EXPECT_ACP");
    return expected != nullptr ? static_cast<UINT>(std::atoi(expected)) : 950u;
}

std::string Shot(const std::string& name) {
    return ArtifactPath(name + "-cp" + std::to_string(GetACP()) + ".bmp");
}

const std::vector<std::string> kBlank{"", "", "", ""};

// Colour of a pixel of bitmap 129 as stored in the wizard's resources.
COLORREF PicturePixel(int x, int y) {
    const HMODULE module = LoadLibraryExA(WizardPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(129), MAKEINTRESOURCEW(2));
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, info)));
    COLORREF colour = CLR_INVALID;
    if (data != nullptr) {
        BITMAPINFOHEADER header{};
        memcpy(&header, data, sizeof header);
        // 8 bits with a palette, or 24; rows bottom-up.
        const LONG bytesPerPixel = header.biBitCount / 8;
        const BYTE* palette = data + header.biSize;
        const DWORD paletteSize =
            header.biBitCount == 8 ? (header.biClrUsed != 0 ? header.biClrUsed : 256) : 0;
        const LONG rowSize = (header.biWidth * bytesPerPixel + 3) & ~3;
        const BYTE* pixel =
            palette + paletteSize * 4 + (header.biHeight - 1 - y) * rowSize + x * bytesPerPixel;
        if (paletteSize != 0) pixel = palette + *pixel * 4;
        colour = RGB(pixel[2], pixel[1], pixel[0]);
    }
    FreeLibrary(module);
    return colour;
}

constexpr int kPictureWidth = 190;  // bitmap 129
constexpr int kPictureHeight = 149;

// Colour the screen shows at a point of a window's client area.
COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool NearColour(COLORREF a, COLORREF b) {
    constexpr int kTolerance = 24;  // scaling blends neighbouring pixels
    return abs(GetRValue(a) - GetRValue(b)) <= kTolerance && abs(GetGValue(a) - GetGValue(b)) <= kTolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= kTolerance;
}

// The picture control shows bitmap 129 over its whole client area, in proportion:
// its corners and its centre show the bitmap's corners and centre (sky above, hill
// below), nowhere the page's background.
void ExpectPictureFillsItsFrame(HWND picture) {
    RECT frame{};
    GetClientRect(picture, &frame);
    const LONG right = frame.right - 1, bottom = frame.bottom - 1;
    const std::pair<POINT, POINT> shownAndSource[] = {
        {{0, 0}, {0, 0}},
        {{right, 0}, {kPictureWidth - 1, 0}},
        {{0, bottom}, {0, kPictureHeight - 1}},
        {{right, bottom}, {kPictureWidth - 1, kPictureHeight - 1}},
        {{right / 2, bottom / 2}, {kPictureWidth / 2, kPictureHeight / 2}}};
    for (const auto& [shown, source] : shownAndSource) {
        const COLORREF colour = ScreenPixel(picture, shown.x, shown.y);
        EXPECT_TRUE(NearColour(colour, PicturePixel(source.x, source.y)))
            << "shown at " << shown.x << "," << shown.y << " of " << frame.right << "x" << frame.bottom
            << ": " << std::hex << colour << ", bitmap " << std::dec << source.x << "," << source.y << ": "
            << std::hex << PicturePixel(source.x, source.y);
    }
}

// Every control lies inside the page, and every text fits its control in the page's
// font at that DPI (9 points): a label on its one line, a button's text inside its edges.
void ExpectTextsFitAndNothingIsClipped(HWND page, int dpi) {
    RECT client{};
    GetClientRect(page, &client);
    const std::unique_ptr<std::remove_pointer_t<HDC>, BOOL(WINAPI*)(HDC)> dc(CreateCompatibleDC(nullptr),
                                                                             &DeleteDC);
    const std::unique_ptr<std::remove_pointer_t<HFONT>, BOOL(WINAPI*)(HGDIOBJ)> font(
        CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                    L"新細明體"),
        &DeleteObject);
    SelectObject(dc.get(), font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
        const std::wstring text = WindowTextW(child);
        SCOPED_TRACE(text);
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                    rect.bottom <= client.bottom);
        wchar_t className[32] = L"";
        GetClassNameW(child, className, 32);
        const bool button = _wcsicmp(className, L"Button") == 0;
        if (text.empty() || (!button && _wcsicmp(className, L"Static") != 0)) continue;
        SIZE extent{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        const LONG width = rect.right - rect.left;
        const LONG height = rect.bottom - rect.top;
        const LONG margin = button ? 2 * metrics.tmAveCharWidth : 0;  // frame, or a group box's corner
        EXPECT_LE(extent.cx + margin, width);
        EXPECT_LE(metrics.tmHeight, height);
    }
}

class WizardPage : public ::testing::Test {
protected:
    void SetUp() override {
        m_wizard = std::make_unique<GuiProcess>(WizardPath());
        ASSERT_TRUE(m_wizard->Started()) << WizardPath();
        m_page = WaitForWindow(m_wizard->Id(), kPageCaption, kWindowTimeoutMs);
        ASSERT_NE(m_page, nullptr) << "the entry page did not show";
    }

    HWND Item(int id) const { return GetDlgItem(m_page, id); }

    void TypeAddress(const std::string& text) const { TestSupport::TypeAddress(m_page, 1004, text); }

    // What the derived fields report and what their four field windows show.
    void ExpectDerivedFields(const std::string& gateway) const {
        const std::pair<int, std::string> expected[] = {{1005, FixedSubnetMask},
                                                        {1006, gateway},
                                                        {1007, ProviderDnsPrimary},
                                                        {1008, ProviderDnsSecondary}};
        for (const auto& [id, text] : expected) {
            SCOPED_TRACE(id);
            EXPECT_EQ(WindowTextA(Item(id)), text);
            EXPECT_EQ(ChildTextsByPosition(Item(id)), Fields(text));
        }
    }

    void ExpectDerivedFieldsBlank() const {
        for (int id = 1005; id <= 1008; ++id) EXPECT_EQ(ChildTextsByPosition(Item(id)), kBlank) << id;
    }

    static std::vector<std::string> Fields(const std::string& address) { return AddressFields(address); }

    void EndWithExitAndExpectCleanEnd() const {
        PostMessageW(Item(IDCANCEL), BM_CLICK, 0, 0);
        DWORD exitCode = ~0u;
        ASSERT_TRUE(m_wizard->WaitForExit(kWindowTimeoutMs, exitCode)) << "the wizard did not end";
        EXPECT_EQ(exitCode, 0u);
    }

    std::unique_ptr<GuiProcess> m_wizard;
    HWND m_page = nullptr;
};

TEST_F(WizardPage, RunsUnderTheExpectedCodePage) {
    EXPECT_EQ(GetACP(), ExpectedCodePage());
    // A program started the way the wizard is started gets the same code page.
    GuiProcess probe(ModuleDirectory() + "acp_probe.exe");
    DWORD codePage = 0;
    ASSERT_TRUE(probe.WaitForExit(kWindowTimeoutMs, codePage));
    EXPECT_EQ(codePage, ExpectedCodePage());
}

TEST_F(WizardPage, StartsWaitingForAnAddressWithFocusOnExit) {
    EXPECT_TRUE(SaveScreenshot(m_page, Shot("wizard-page")));
    ExpectPictureFillsItsFrame(Item(1000));
    EXPECT_FALSE(IsWindowEnabled(Item(IDOK)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDCANCEL)));
    EXPECT_EQ(FocusedWindow(m_page), Item(IDCANCEL));
    EXPECT_EQ(ChildTextsByPosition(Item(1004)), kBlank);
    ExpectDerivedFieldsBlank();
    for (int id = 1005; id <= 1008; ++id) EXPECT_FALSE(IsWindowEnabled(Item(id))) << id;
    // Unicode texts arrive intact whatever the ANSI code page is.
    EXPECT_EQ(WindowTextW(Item(IDOK)), L"下一頁");
    EXPECT_EQ(WindowTextW(Item(IDCANCEL)), L"離開");
    const std::vector<std::wstring> statics = ChildTexts(m_page, L"Static");
    const std::wstring expected[] = {L"此步驟將幫你完成固定IP ADSL相關設定，請正確輸入以下資料",
                                     L"IP位址:",
                                     L"子網路遮罩:",
                                     L"預設閘道:",
                                     L"慣用的DNS伺服器:",
                                     L"其他的DNS伺服器:"};
    for (const auto& text : expected) {
        EXPECT_NE(std::find(statics.begin(), statics.end(), text), statics.end());
    }
    EndWithExitAndExpectCleanEnd();
}

TEST_F(WizardPage, TypedAddressFillsTheDerivedFieldsAndEnablesNext) {
    TypeAddress("192.168.5.20");
    EXPECT_EQ(WindowTextA(Item(1004)), "192.168.5.20");
    EXPECT_EQ(ChildTextsByPosition(Item(1004)), Fields("192.168.5.20"));
    ExpectDerivedFields("192.168.5.254");
    EXPECT_TRUE(IsWindowEnabled(Item(IDOK)));
    EXPECT_TRUE(SaveScreenshot(m_page, Shot("wizard-page-filled")));

    // Third field back to 0: no stale gateway stays, and Next goes off.
    TypeAddress("192.168.0.20");
    EXPECT_EQ(WindowTextA(Item(1004)), "192.168.0.20");
    ExpectDerivedFieldsBlank();
    EXPECT_FALSE(IsWindowEnabled(Item(IDOK)));

    // A later qualifying change fills the fields again.
    TypeAddress("10.20.30.40");
    ExpectDerivedFields("10.20.30.254");

    // Emptying a field takes the address back at once, while the field still has the focus.
    SendMessageW(m_page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(1004)), TRUE);
    SendMessageW(FocusedWindow(m_page), EM_SETSEL, 0, -1);
    TypeIntoFocus(m_page, "\b");
    EXPECT_EQ(GetParent(FocusedWindow(m_page)), Item(1004));
    ExpectDerivedFieldsBlank();
    EXPECT_FALSE(IsWindowEnabled(Item(IDOK)));
    EndWithExitAndExpectCleanEnd();
}

TEST_F(WizardPage, ThirdFieldZeroFillsNothing) {
    TypeAddress("10.1.0.7");
    EXPECT_EQ(WindowTextA(Item(1004)), "10.1.0.7");
    ExpectDerivedFieldsBlank();
    EXPECT_FALSE(IsWindowEnabled(Item(IDOK)));
    EndWithExitAndExpectCleanEnd();
}

TEST_F(WizardPage, OnlyACompleteHostAddressEnablesNext) {
    TypeAddress("1.2.3");  // fourth field never typed
    ExpectDerivedFieldsBlank();
    EXPECT_FALSE(IsWindowEnabled(Item(IDOK)));
    TypeAddress("1.2.3.0");  // the network address
    ExpectDerivedFieldsBlank();
    EXPECT_FALSE(IsWindowEnabled(Item(IDOK)));
    TypeAddress("1.2.3.4");
    ExpectDerivedFields("1.2.3.254");
    EXPECT_TRUE(IsWindowEnabled(Item(IDOK)));
    EndWithExitAndExpectCleanEnd();
}

TEST_F(WizardPage, AboutEntryShowsTheNoteWindowModally) {
    PostMessageW(m_page, WM_SYSCOMMAND, 16, 0);
    const HWND note = WaitForWindow(m_wizard->Id(), kNoteCaption, kWindowTimeoutMs);
    ASSERT_NE(note, nullptr) << "the note window did not show";
    EXPECT_EQ(ChildTexts(note, L"Static"), std::vector<std::wstring>{L"程式正在檢查系統設定，敬請稍候..."});
    EXPECT_EQ(GetWindow(note, GW_OWNER), m_page);
    EXPECT_FALSE(IsWindowEnabled(m_page));
    EXPECT_TRUE(SaveScreenshot(nullptr, Shot("wizard-note")));

    PostMessageW(note, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitForWindowGone(note, kWindowTimeoutMs));
    EXPECT_TRUE(IsWindowEnabled(m_page));
    EndWithExitAndExpectCleanEnd();
}

// On a high-DPI screen the page is drawn at the screen's DPI (per-monitor aware, not
// stretched as a bitmap): half as large again at 144 DPI as at 96, with every text in
// place and the picture filling its frame. Screenshots at both DPIs are kept.
TEST(WizardPageDpi, ScalesWithTheScreenAndStaysSharp) {
    // Physical pixels: this test program must not see the page's coordinates scaled.
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    std::map<int, RECT> pages;
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        const ScopedScreenDpi screen(static_cast<DWORD>(dpi));
        WizardDriver wizard(WizardPath(), kWindowTimeoutMs);
        ASSERT_NE(wizard.Page(), nullptr) << "the entry page did not show";
        wizard.TypeAddress("192.168.5.20");
        EXPECT_TRUE(SaveScreenshot(wizard.Page(), Shot("wizard-page-" + std::to_string(dpi) + "dpi")));
        GetClientRect(wizard.Page(), &pages[dpi]);
        ExpectTextsFitAndNothingIsClipped(wizard.Page(), dpi);
        ExpectPictureFillsItsFrame(wizard.Item(1000));
        wizard.PressExit();
        DWORD exitCode = ~0u;
        EXPECT_TRUE(wizard.Process().WaitForExit(kWindowTimeoutMs, exitCode));
    }
    const double ratio = static_cast<double>(pages[144].right) / pages[96].right;
    EXPECT_GT(ratio, 1.3) << pages[144].right << " / " << pages[96].right;
    EXPECT_LT(ratio, 1.6) << pages[144].right << " / " << pages[96].right;
}

// A second start, in any mode, brings the running wizard's page to the front (here from
// behind a window of the test's, whose thread keeps answering) and ends without a
// window of its own.
TEST_F(WizardPage, ASecondStartBringsTheFirstToTheFrontAndEnds) {
    HWND other = nullptr;
    DWORD ownerId = 0;
    std::thread owner([&] {
        ownerId = GetCurrentThreadId();
        other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        DestroyWindow(other);
    });
    ASSERT_TRUE(WaitUntil([&] { return other != nullptr; }, kWindowTimeoutMs));
    for (const char* arguments : {"", "/restore", "/restore original"}) {
        SCOPED_TRACE(arguments);
        SetForegroundWindow(other);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }, kWindowTimeoutMs));
        GuiProcess second(WizardPath(), "", arguments);
        DWORD exitCode = ~0u;
        EXPECT_TRUE(second.WaitForExit(kWindowTimeoutMs, exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == m_page; }, kWindowTimeoutMs));
    }
    PostThreadMessageW(ownerId, WM_QUIT, 0, 0);
    owner.join();
    EXPECT_TRUE(IsWindowVisible(m_page));
    EndWithExitAndExpectCleanEnd();
}

// The restore page at 96 and 144 DPI: the snapshots newest first, the newest chosen,
// every text in place; 「取消」 restores nothing. Screenshots at both DPIs are kept.
TEST(WizardRestorePageDpi, ListsTheSnapshotsAtEachDpi) {
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    using namespace SettingsSnapshot;
    const std::vector<std::wstring> services = AdapterInventory::ReadServiceNames();
    ASSERT_FALSE(services.empty());
    const SnapshotHistory history(BackupFolder::Default().Value());
    std::vector<std::wstring> saved;
    for (const wchar_t* address : {L"", L"192.168.5.20"}) {
        std::vector<BYTE> data;
        for (const wchar_t c : std::wstring(address) + std::wstring(2, L'\0'))
            data.insert(data.end(), {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8)});
        const BYTE dhcp = *address == 0 ? 1 : 0;
        const Snapshot snapshot{{{TcpipInterfaceKey(services.front()),
                                  {SnapshotValue::Present(L"IPAddress", REG_MULTI_SZ, data),
                                   SnapshotValue::Present(L"EnableDHCP", REG_DWORD, {dhcp, 0, 0, 0})}}}};
        const Outcome<std::wstring> path =
            history.Save(kWizardTag, services.front(), EncodeRegFile(snapshot));
        ASSERT_TRUE(path);
        saved.push_back(path.Value());
    }
    std::map<int, RECT> pages;
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        const ScopedScreenDpi screen(static_cast<DWORD>(dpi));
        GuiProcess restore(WizardPath(), "", "/restore");
        const HWND page = WaitForWindow(restore.Id(), kPageCaption, kWindowTimeoutMs);
        ASSERT_NE(page, nullptr) << "the restore page did not show";
        const HWND list = GetDlgItem(page, 1030);
        EXPECT_GE(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
        std::wstring newest(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, 0, 0)), L'\0');
        SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(newest.data()));
        EXPECT_NE(newest.find(L"\t192.168.5.20"), std::wstring::npos);
        EXPECT_TRUE(SaveScreenshot(page, Shot("wizard-restore-page-" + std::to_string(dpi) + "dpi")));
        GetClientRect(page, &pages[dpi]);
        ExpectTextsFitAndNothingIsClipped(page, dpi);
        PostMessageW(GetDlgItem(page, IDCANCEL), BM_CLICK, 0, 0);
        DWORD exitCode = ~0u;
        EXPECT_TRUE(restore.WaitForExit(kWindowTimeoutMs, exitCode));
        EXPECT_EQ(exitCode, 1u);
    }
    const Outcome<std::vector<HistoryEntry>> after = history.List();
    for (const std::wstring& path : saved) DeleteFileW(path.c_str());
    ASSERT_TRUE(after);
    EXPECT_EQ(after.Value().front().file.path, saved.back()) << "取消 saved or restored something";
    const double ratio = static_cast<double>(pages[144].right) / pages[96].right;
    EXPECT_GT(ratio, 1.3) << pages[144].right << " / " << pages[96].right;
    EXPECT_LT(ratio, 1.6) << pages[144].right << " / " << pages[96].right;
}

TEST_F(WizardPage, CloseBoxEndsTheProgramCleanly) {
    PostMessageW(m_page, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD exitCode = ~0u;
    ASSERT_TRUE(m_wizard->WaitForExit(kWindowTimeoutMs, exitCode));
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
