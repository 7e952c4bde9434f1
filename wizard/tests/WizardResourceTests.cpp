// The resources inside the built TarveloIP.exe, read back as data: templates with
// their texts, positions and styles, the string, the picture, the icon and the version.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "test_support/Process.h"

namespace {

std::wstring WizardPath() {
    const std::string path = TestSupport::ModuleDirectory() + "..\\TarveloIP.exe";
    return std::wstring(path.begin(), path.end());
}

struct ModuleFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;

ModuleHandle LoadWizardData() {
    return ModuleHandle(LoadLibraryExW(WizardPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

// type: 2 bitmap, 5 dialog, 14 icon group.
std::vector<BYTE> ResourceBytes(HMODULE module, WORD id, LPCWSTR type) {
    const HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (info == nullptr) return {};
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, info)));
    return std::vector<BYTE>(data, data + SizeofResource(module, info));
}

// Reads a dialog template (classic or extended) into plain values.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}

    WORD Word() {
        const WORD value = static_cast<WORD>(m_bytes.at(m_pos) | (m_bytes.at(m_pos + 1) << 8));
        m_pos += 2;
        return value;
    }
    DWORD Dword() {
        const DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    BYTE Byte() { return m_bytes.at(m_pos++); }
    void AlignDword() { m_pos = (m_pos + 3) & ~size_t{3}; }
    void Skip(size_t count) { m_pos += count; }
    // A string or an ordinal (written as "#n"); empty for none.
    std::wstring NameOrOrdinal() {
        const WORD first = Word();
        if (first == 0) return L"";
        if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
        std::wstring text(1, static_cast<wchar_t>(first));
        for (WORD c; (c = Word()) != 0;) text += static_cast<wchar_t>(c);
        return text;
    }

private:
    const std::vector<BYTE>& m_bytes;
    size_t m_pos = 0;
};

struct Item {
    int id;
    std::wstring className;  // standard classes by ordinal: #128 button, #130 static
    std::wstring text;
    short x, y, cx, cy;
    DWORD style;
};

struct Template {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    short cx = 0, cy = 0;
    std::wstring caption, face;
    WORD points = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::vector<Item> items;
};

Template ReadTemplate(const std::vector<BYTE>& bytes) {
    TemplateReader in(bytes);
    Template t;
    t.extended = bytes.size() > 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    if (t.extended) {
        in.Dword();  // version and signature
        in.Dword();  // help id
        t.exStyle = in.Dword();
        t.style = in.Dword();
    } else {
        t.style = in.Dword();
        t.exStyle = in.Dword();
    }
    const WORD count = in.Word();
    in.Word();
    in.Word();
    t.cx = static_cast<short>(in.Word());
    t.cy = static_cast<short>(in.Word());
    in.NameOrOrdinal();  // menu
    in.NameOrOrdinal();  // class
    t.caption = in.NameOrOrdinal();
    if (t.style & DS_SETFONT) {
        t.points = in.Word();
        if (t.extended) {
            t.weight = in.Word();
            t.italic = in.Byte();
            t.charset = in.Byte();
        }
        t.face = in.NameOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignDword();
        Item item{};
        if (t.extended) {
            in.Dword();  // help id
            in.Dword();  // extended style
            item.style = in.Dword();
        } else {
            item.style = in.Dword();
            in.Dword();
        }
        item.x = static_cast<short>(in.Word());
        item.y = static_cast<short>(in.Word());
        item.cx = static_cast<short>(in.Word());
        item.cy = static_cast<short>(in.Word());
        item.id = t.extended ? static_cast<int>(in.Dword()) : static_cast<short>(in.Word());
        item.className = in.NameOrOrdinal();
        item.text = in.NameOrOrdinal();
        in.Skip(in.Word());
        t.items.push_back(item);
    }
    return t;
}

struct ExpectedItem {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD requiredStyle;  // these bits must be set
    DWORD absentStyle;    // these bits must be clear
};

constexpr DWORD kDisabled = WS_DISABLED;
constexpr DWORD kTab = WS_TABSTOP;

void ExpectItems(const Template& t, const std::vector<ExpectedItem>& expected) {
    ASSERT_EQ(t.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Item& item = t.items[i];
        const ExpectedItem& e = expected[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(item.id, e.id);
        std::wstring className = item.className;
        if (className == L"#128") className = L"Button";
        if (className == L"#130") className = L"Static";
        if (className == L"#133") className = L"ComboBox";
        EXPECT_EQ(_wcsicmp(className.c_str(), e.className), 0);
        EXPECT_EQ(item.text, e.text);
        EXPECT_EQ(item.x, e.x);
        EXPECT_EQ(item.y, e.y);
        EXPECT_EQ(item.cx, e.cx);
        EXPECT_EQ(item.cy, e.cy);
        EXPECT_EQ(item.style & e.requiredStyle, e.requiredStyle) << std::hex << item.style;
        EXPECT_EQ(item.style & e.absentStyle, 0u) << std::hex << item.style;
    }
}

const DWORD kPageStyle = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;

void ExpectPageFrame(const Template& t) {
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.style & kPageStyle, kPageStyle);
    EXPECT_NE(t.exStyle & WS_EX_APPWINDOW, 0u);
    EXPECT_EQ(t.cx, 408);
    EXPECT_EQ(t.cy, 197);
    EXPECT_EQ(t.caption, L"Tarvelo ADSL");
    EXPECT_EQ(t.points, 9);
    EXPECT_EQ(t.face, L"新細明體");
    EXPECT_EQ(t.weight, 0);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, DEFAULT_CHARSET);
}

class WizardResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(m_module, nullptr); }
    Template Dialog(WORD id) const {
        return ReadTemplate(ResourceBytes(m_module.get(), id, MAKEINTRESOURCEW(5)));
    }
    ModuleHandle m_module = LoadWizardData();
};

TEST_F(WizardResources, NoteWindowTemplate100) {
    const Template t = Dialog(100);
    EXPECT_FALSE(t.extended);
    const DWORD style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(t.style & style, style);
    EXPECT_EQ(t.style & WS_VISIBLE, 0u);
    EXPECT_EQ(t.cx, 142);
    EXPECT_EQ(t.cy, 55);
    EXPECT_EQ(t.caption, L"TarveloIP");
    EXPECT_EQ(t.points, 9);
    EXPECT_EQ(t.face, L"新細明體");
    // The text has an id of its own and room for three lines: the checks replace it with
    // what they test.
    ExpectItems(t, {{1020, L"Static", L"程式正在檢查系統設定，敬請稍候...", 7, 11, 128, 34, 0, 0}});
}

TEST_F(WizardResources, EntryPageTemplate102) {
    const Template t = Dialog(102);
    ExpectPageFrame(t);
    EXPECT_EQ(t.items.at(0).style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(t.items.at(2).style & SS_TYPEMASK, static_cast<DWORD>(SS_BITMAP));
    ExpectItems(t, {
                       {1, L"Button", L"下一頁", 293, 176, 50, 14, kDisabled | kTab, 0},
                       {2, L"Button", L"離開", 351, 176, 50, 14, kTab, kDisabled},
                       {1000, L"Static", L"", 16, 7, 129, 101, 0, 0},
                       {-1, L"Static", L"固定IP讓您的連線位址永遠不變", 13, 113, 137, 8, 0, 0},
                       {-1, L"Static", L"設定完成後請重新開機", 17, 125, 128, 8, 0, 0},
                       {-1, L"Static", L"此步驟將幫你完成固定IP ADSL相關設定，請正確輸入以下資料", 167, 12,
                        221, 8, 0, 0},
                       {-1, L"Button", L"請輸入Tarvelo所配發的IP位址", 169, 26, 211, 115, BS_GROUPBOX, 0},
                       {-1, L"Static", L"IP位址:", 221, 44, 26, 8, 0, 0},
                       {1004, L"SysIPAddress32", L"", 261, 41, 100, 15, kTab, kDisabled},
                       {-1, L"Static", L"子網路遮罩:", 204, 63, 43, 8, 0, 0},
                       {1005, L"SysIPAddress32", L"", 261, 60, 100, 15, kDisabled | kTab, 0},
                       {-1, L"Static", L"預設閘道:", 212, 82, 35, 8, 0, 0},
                       {1006, L"SysIPAddress32", L"", 261, 79, 100, 15, kDisabled | kTab, 0},
                       {-1, L"Static", L"慣用的DNS伺服器:", 181, 101, 66, 8, 0, 0},
                       {1007, L"SysIPAddress32", L"", 261, 98, 100, 15, kDisabled | kTab, 0},
                       {-1, L"Static", L"其他的DNS伺服器:", 181, 120, 66, 8, 0, 0},
                       {1008, L"SysIPAddress32", L"", 261, 117, 100, 15, kDisabled | kTab, 0},
                       {-1, L"Static", L"網路卡:", 169, 152, 28, 8, 0, 0},
                       {1009, L"ComboBox", L"", 199, 150, 181, 100, CBS_DROPDOWNLIST | kTab, kDisabled},
                       {1010, L"Static", L"", 199, 152, 181, 8, 0, WS_VISIBLE},
                   });
}

TEST_F(WizardResources, ClosingPageTemplate103) {
    const Template t = Dialog(103);
    ExpectPageFrame(t);
    ExpectItems(t, {
                       // Finish has an id of its own: Esc and the close box (IDCANCEL) never
                       // restart.
                       {1025, L"Button", L"完成", 351, 176, 50, 14, kTab, kDisabled},
                       {1000, L"Static", L"", 16, 7, 129, 101, SS_BITMAP, 0},
                       {-1, L"Static", L"固定IP讓您的連線位址永遠不變", 13, 113, 137, 8, 0, 0},
                       {-1, L"Static", L"設定完成後請重新開機", 17, 125, 128, 8, 0, 0},
                       {-1, L"Static", L"感謝您成為Tarvelo ADSL 會員!!", 201, 64, 106, 8, 0, 0},
                       {1026, L"Static", L"您已經完成固定IP ADSL上網相關設定", 201, 78, 133, 8, 0, 0},
                       {1027, L"Static", L"請按下完成，電腦重新開機後您就可開始享受", 201, 92, 161, 8, 0, 0},
                       {1028, L"Static", L"Tarvelo ADSL飆網的速度了", 201, 106, 90, 8, 0, 0},
                       // What failed, in the success sentences' place; the checks' lines; the
                       // advice and the way back, shown only when a check did not pass.
                       {1023, L"Static", L"", 201, 76, 200, 44, 0, WS_VISIBLE},
                       {1021, L"Static", L"", 201, 122, 200, 8, 0, 0},
                       {1022, L"Static", L"", 201, 134, 200, 8, 0, 0},
                       {1029, L"Static", L"", 201, 148, 200, 24, 0, WS_VISIBLE},
                       {1024, L"Button", L"復原先前的設定", 271, 176, 74, 14, kTab, WS_VISIBLE | kDisabled},
                   });
}

TEST_F(WizardResources, ConnectionCheckTexts) {
    const std::pair<UINT, const wchar_t*> texts[] = {
        {140, L"正在測試閘道 %1 與 DNS 伺服器 %2，約需幾秒鐘…"},
        {141, L"閘道 %1 有回應"},
        {142, L"閘道 %1 沒有回應"},
        {143, L"DNS 伺服器 %1 有回應"},
        {144, L"DNS 伺服器 %1 沒有回應"},
        {147, L"DNS 伺服器 %1 拒絕查詢"},
        {148, L"DNS 伺服器 %1 無法查詢名稱（伺服器錯誤）"},
        {149, L"DNS 伺服器 %1 無法查詢名稱（名稱不存在）"},
        {150, L"DNS 伺服器 %1 不支援查詢"},
        {154, L"DNS 伺服器 %1 無法處理查詢"},
        {155, L"DNS 伺服器 %1 無法查詢名稱（代碼 %2）"}};
    for (const auto& [id, expected] : texts) {
        wchar_t text[256] = L"";
        ASSERT_GT(LoadStringW(m_module.get(), id, text, 256), 0) << id;
        EXPECT_EQ(std::wstring(text), expected);
    }
}

TEST_F(WizardResources, AboutStringPictureAndIcon) {
    wchar_t text[128] = L"";
    ASSERT_GT(LoadStringW(m_module.get(), 101, text, 128), 0);
    EXPECT_EQ(std::wstring(text), L"關於 TarveloIP(&A)...");

    const auto bitmap = ResourceBytes(m_module.get(), 129, MAKEINTRESOURCEW(2));
    ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header{};
    memcpy(&header, bitmap.data(), sizeof header);
    EXPECT_EQ(header.biWidth, 190);
    EXPECT_EQ(header.biHeight, 149);
    EXPECT_EQ(header.biBitCount, 8);  // with a palette of its exact colours

    // The icon at 16, 24, 32 and 48 pixels: the system sizes at 100 % and 150 %.
    const auto group = ResourceBytes(m_module.get(), 128, MAKEINTRESOURCEW(14));
    ASSERT_GE(group.size(), 6u);
    std::vector<int> sizes;
    for (size_t entry = 6; entry + 14 <= group.size(); entry += 14) sizes.push_back(group[entry]);
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48}));
}

TEST(WizardVersion, FileAndProductVersionAndStrings) {
    const std::wstring path = WizardPath();
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0404);
    EXPECT_EQ(translation[1], 0x04B0);

    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"FileVersion", L"1, 0, 0, 1"},
        {L"ProductVersion", L"1, 0, 0, 1"},
        {L"InternalName", L"TarveloIP"},
        {L"OriginalFilename", L"TarveloIP.EXE"},
        {L"FileDescription", L"Tarvelo 固定IP ADSL 設定精靈"}};
    for (const auto& [name, value] : strings) {
        wchar_t* text = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040404b0\\") + name;
        ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length))
            << name;
        EXPECT_EQ(std::wstring(text), value);
    }
}

}  // namespace
