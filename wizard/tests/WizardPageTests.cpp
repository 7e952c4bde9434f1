// The real TarveloIP.exe on the test display, driven from outside as a user would:
// typing into the address control, pressing buttons, using the system menu.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "AddressRules.h"
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
        const LONG rowSize = (header.biWidth * 3 + 3) & ~3;
        const BYTE* pixel = data + header.biSize + (header.biHeight - 1 - y) * rowSize + x * 3;  // bottom-up
        colour = RGB(pixel[2], pixel[1], pixel[0]);
    }
    FreeLibrary(module);
    return colour;
}

// Colour the screen shows at a point of a window's client area.
COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
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
    // The picture control shows bitmap 129 from its top-left corner.
    for (const POINT at : {POINT{0, 0}, POINT{50, 95}, POINT{64, 55}, POINT{120, 30}, POINT{189, 148}}) {
        EXPECT_EQ(ScreenPixel(Item(1000), at.x, at.y), PicturePixel(at.x, at.y)) << at.x << "," << at.y;
    }
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

TEST_F(WizardPage, CloseBoxEndsTheProgramCleanly) {
    PostMessageW(m_page, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD exitCode = ~0u;
    ASSERT_TRUE(m_wizard->WaitForExit(kWindowTimeoutMs, exitCode));
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
