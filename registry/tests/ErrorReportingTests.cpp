// Exceptions, message texts and the error message box.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <string>
#include <thread>

#include "MessageChain.h"
#include "RegistryTestSupport.h"
#include "registry/Registry.h"

using BrenlowTools::CRegistryKey;
using BrenlowTools::CWin32Exception;
using BrenlowTools::FormatWin32Message;

namespace {

// The system's text for code as it stands, or "" with the reason in *failure.
std::string SystemText(DWORD code, DWORD* failure = nullptr) {
    char text[512] = {};
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                       sizeof text - 1, nullptr) == 0 &&
        failure != nullptr)
        *failure = GetLastError();
    return text;
}

TEST(Exceptions, ValueExceptionReportsItsOwnLocationAndIsCaughtAsEveryBase) {
    bool caught = false;
    try {
        throw CRegistryKey::Value::Exception();
    } catch (const CWin32Exception& e) {
        caught = true;
        EXPECT_STREQ(e.GetLocation(), "CRegistryKey::Value::Exception");
        EXPECT_EQ(e.GetErrorCode(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    EXPECT_TRUE(caught);
    EXPECT_THROW(throw CRegistryKey::Value::Exception(), CRegistryKey::Exception);
    EXPECT_THROW(throw CRegistryKey::Exception("here", 5), CWin32Exception);
}

TEST(Exceptions, LocationIsStoredNotCopied) {
    static const char kLocation[] = "CRegistryKey::FlushKey()";
    const CRegistryKey::Exception e(kLocation, ERROR_ACCESS_DENIED);
    EXPECT_EQ(e.GetLocation(), kLocation);
    EXPECT_EQ(e.GetErrorCode(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_STREQ(e.GetMessageText(), FormatWin32Message(ERROR_ACCESS_DENIED));
}

TEST(MessageText, IsTheSystemTextAndTheNextLookUpOnTheThreadReplacesIt) {
    const std::string expected = SystemText(ERROR_FILE_NOT_FOUND);
    ASSERT_NE(expected, "");
    const CRegistryKey::Exception first("a", ERROR_FILE_NOT_FOUND);
    const CRegistryKey::Exception second("b", ERROR_ACCESS_DENIED);
    const char* firstText = first.GetMessageText();
    EXPECT_EQ(firstText, expected);  // line break kept as the system gives it
    const std::string secondText = second.GetMessageText();
    EXPECT_NE(secondText, expected);
    EXPECT_EQ(std::string(firstText), secondText);  // the same buffer, overwritten
}

TEST(MessageText, EachThreadHasItsOwnBuffer) {
    const std::string mine = FormatWin32Message(ERROR_FILE_NOT_FOUND);
    const char* myBuffer = FormatWin32Message(ERROR_FILE_NOT_FOUND);
    const char* otherBuffer = nullptr;
    std::thread([&] { otherBuffer = FormatWin32Message(ERROR_ACCESS_DENIED); }).join();
    EXPECT_NE(otherBuffer, myBuffer);
    EXPECT_EQ(std::string(myBuffer), mine);
}

TEST(MessageText, KeepsInsertMarksAndGivesTheLookUpFailureForACodeWithoutText) {
    EXPECT_NE(std::string(FormatWin32Message(ERROR_BAD_EXE_FORMAT)).find("%1"), std::string::npos);
    DWORD lookUpFailure = ERROR_SUCCESS;
    ASSERT_EQ(SystemText(0x2000ABCDu, &lookUpFailure), "");
    EXPECT_EQ(FormatWin32Message(0x2000ABCDu), SystemText(lookUpFailure));
}

// Fake look-ups for the bounded chain.
int g_lookups = 0;

bool AlwaysFailsWithANewCode(DWORD code, char*, DWORD, DWORD* failure) {
    ++g_lookups;
    *failure = code + 1;
    return false;
}

bool FailsWithTheSameCode(DWORD code, char*, DWORD, DWORD* failure) {
    ++g_lookups;
    *failure = code;
    return false;
}

TEST(MessageText, ChainOfFailedLookUpsIsBounded) {
    using namespace BrenlowTools::Internal;
    char buffer[64] = {};
    g_lookups = 0;
    EXPECT_STREQ(FormatMessageChain(1000, AlwaysFailsWithANewCode, buffer, sizeof buffer),
                 "Win32 error 1000");
    EXPECT_EQ(g_lookups, kMaxMessageLookups);

    g_lookups = 0;
    EXPECT_STREQ(FormatMessageChain(42, FailsWithTheSameCode, buffer, sizeof buffer), "Win32 error 42");
    EXPECT_EQ(g_lookups, 1);

    // A small buffer holds what fits, terminated; nothing is written past it.
    char small[16];
    std::fill(std::begin(small), std::end(small), 'x');
    EXPECT_STREQ(FormatMessageChain(4294967295u, FailsWithTheSameCode, small, 15), "Win32 error 42");
    EXPECT_EQ(small[15], 'x');
    EXPECT_STREQ(FormatMessageChain(7, FailsWithTheSameCode, small, 5), "Win3");
}

// Finds the error box by its caption, records what it shows and presses OK.
struct BoxObservation {
    bool found = false;
    std::string text;
    bool hasOk = false;
    bool hasCancel = false;
};

void CloseBoxWhenItAppears(const char* caption, BoxObservation& seen) {
    for (int i = 0; i < 200 && !seen.found; ++i) {
        const HWND box = FindWindowA("#32770", caption);
        if (box == nullptr) {
            Sleep(50);
            continue;
        }
        seen.found = true;
        char text[600] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message text control
        seen.text = text;
        seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
        seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr && IsWindowVisible(GetDlgItem(box, IDCANCEL));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
}

TEST(ErrorBox, ShowsTheTextWithTheLocationAsCaptionAndOneButton) {
    const CRegistryKey empty(nullptr);
    try {
        empty.FlushKey();
        FAIL() << "FlushKey of the empty key succeeded";
    } catch (const CRegistryKey::Exception& e) {
        ASSERT_STREQ(e.GetLocation(), "CRegistryKey::FlushKey()");
        const std::string expected = FormatWin32Message(e.GetErrorCode());
        BoxObservation seen;
        std::thread watcher(CloseBoxWhenItAppears, e.GetLocation(), std::ref(seen));
        const int result = e.ShowMessageBox(nullptr);
        watcher.join();
        ASSERT_TRUE(seen.found) << "no message box appeared";
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(seen.hasOk);
        EXPECT_FALSE(seen.hasCancel);
        // The box may drop the trailing line break of the system text.
        EXPECT_EQ(seen.text.substr(0, expected.find_last_not_of("\r\n") + 1),
                  expected.substr(0, expected.find_last_not_of("\r\n") + 1));
    }
}

}  // namespace
