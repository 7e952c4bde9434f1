#include <gtest/gtest.h>

#include <string>

#include "win_base/Ipv4Text.h"
#include "win_base/LibraryLoading.h"
#include "win_base/PrintableText.h"
#include "win_base/TextConversion.h"
#include "win_base/UniqueHandle.h"
#include "win_base/WideArguments.h"

namespace {

// Handles are small integers; every close is recorded.
struct CountedTraits {
    using Type = int;
    static Type Invalid() noexcept { return 0; }
    static void Close(Type handle) noexcept { closed += std::to_string(handle) + " "; }
    static std::string closed;
};
std::string CountedTraits::closed;
using Counted = WinBase::UniqueHandle<CountedTraits>;

class HandleOwner : public ::testing::Test {
protected:
    void SetUp() override { CountedTraits::closed.clear(); }
};

TEST_F(HandleOwner, MovesCloseEachHandleOnceAndOnlyTheOneReplaced) {
    {
        Counted first(1);
        Counted second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), 1);
        Counted third(3);
        third = std::move(second);  // 3 goes, 1 moves on
        EXPECT_EQ(CountedTraits::closed, "3 ");
        EXPECT_EQ(third.get(), 1);
        third = std::move(third);
        EXPECT_EQ(third.get(), 1);
        EXPECT_EQ(CountedTraits::closed, "3 ");
    }
    EXPECT_EQ(CountedTraits::closed, "3 1 ");
}

TEST_F(HandleOwner, ReleaseResetAndPut) {
    Counted owner(4);
    EXPECT_EQ(owner.release(), 4);
    EXPECT_FALSE(owner);
    owner.reset(5);
    owner.reset(6);
    EXPECT_EQ(CountedTraits::closed, "5 ");
    *owner.put() = 7;  // an out-parameter call replaces what was held
    EXPECT_EQ(CountedTraits::closed, "5 6 ");
    EXPECT_EQ(owner.get(), 7);
}

// A traits object carrying its close call, as for a socket bound at run time.
struct BoundTraits {
    using Type = int;
    static Type Invalid() noexcept { return -1; }
    void Close(Type handle) const noexcept { close(handle); }
    void (*close)(int) = nullptr;
};

TEST_F(HandleOwner, BoundCloseTravelsWithTheHandle) {
    const auto record = [](int handle) { CountedTraits::closed += "bound " + std::to_string(handle); };
    {
        WinBase::UniqueHandle<BoundTraits> empty;
        WinBase::UniqueHandle<BoundTraits> socket(0, BoundTraits{record});  // 0 is a valid socket
        empty = std::move(socket);
    }
    EXPECT_EQ(CountedTraits::closed, "bound 0");
}

TEST(SystemLibrary, LoadsFromTheSystemDirectoryAndBindsEntries) {
    const WinBase::SystemLibrary library(L"kernel32.dll");
    EXPECT_NE(library.Entry<decltype(&::GetTickCount)>("GetTickCount"), nullptr);
    EXPECT_EQ(library.Entry<decltype(&::GetTickCount)>("NoSuchEntry"), nullptr);
    const WinBase::SystemLibrary missing(L"no-such-library.dll");
    EXPECT_FALSE(missing.Loaded());
    EXPECT_EQ(missing.Entry<decltype(&::GetTickCount)>("GetTickCount"), nullptr);
}

TEST(WideArguments, SplitLikeTheNarrowArgumentsButInUtf16) {
    const std::vector<std::wstring> arguments = WinBase::WideArguments();
    ASSERT_EQ(arguments.size(), static_cast<size_t>(__argc));
    for (int i = 0; i < __argc; ++i) EXPECT_EQ(arguments[i], WinBase::WideFromNarrow(__argv[i])) << i;
}

TEST(TextConversion, BigFiveRoundTripsExactly) {
    const std::string big5 = "\xBA\xF4\xB8\xF4";  // 網路
    EXPECT_EQ(WinBase::WideFromNarrow(big5, 950), L"\u7DB2\u8DEF");
    EXPECT_EQ(WinBase::ExactNarrow(L"\u7DB2\u8DEF", 950), big5);
    EXPECT_EQ(WinBase::ExactNarrow(L"", 950), std::string());
    EXPECT_EQ(WinBase::Utf8FromWide(L"\u7DB2"), "\xE7\xB6\xB2");
}

TEST(TextConversion, ExactRefusesWhatTheCodePageCannotSpell) {
    // No best-fit look-alike: U+0100 is not "A", the full-width solidus not a path separator.
    EXPECT_EQ(WinBase::ExactNarrow(L"\u0100dapter", 1252), std::nullopt);
    EXPECT_EQ(WinBase::ExactNarrow(L"a\uFF0Fb", 1252), std::nullopt);
    EXPECT_EQ(WinBase::ExactNarrow(L"\u00E9", 950), std::nullopt);
    EXPECT_EQ(WinBase::ExactNarrow(std::wstring(L"a\0b", 3), 1252), std::nullopt);
    // Display text only loses the character.
    EXPECT_EQ(WinBase::DisplayNarrow(L"x\u7DB2", 1252).substr(0, 1), "x");
    EXPECT_EQ(WinBase::DisplayNarrow(L"x\u7DB2", 1252).size(), 2u);
}

TEST(TextConversion, UnconvertibleNarrowTextIsEmpty) {
    EXPECT_EQ(WinBase::WideFromNarrow("", 950), L"");
    EXPECT_EQ(WinBase::WideFromNarrow("abc", 12345), L"");  // no such code page
}

TEST(PrintableText, WritesOutEveryControlAndLayoutCharacterAndKeepsTheRest) {
    EXPECT_EQ(WinBase::PrintableText(std::wstring(L"a\0\t\r\n\x1b\x7f\x80\x9f", 9)),
              L"a\\x00\\x09\\x0d\\x0a\\x1b\\x7f\\x80\\x9f");
    EXPECT_EQ(WinBase::PrintableText(L"\u200e\u200f\u2028\u2029\u202a\u202e\u2066\u2069"),
              L"\\u200e\\u200f\\u2028\\u2029\\u202a\\u202e\\u2066\\u2069");
    const std::wstring kept = L"乙太網路 2 \\ \" \u00a0\u202f\u206a\xd800";
    EXPECT_EQ(WinBase::PrintableText(kept), kept);
}

TEST(Ipv4Text, AcceptsDottedDecimalInNetworkOrder) {
    EXPECT_EQ(WinBase::ParseIpv4("192.168.5.254"), 0xFE05A8C0u);
    EXPECT_EQ(WinBase::ParseIpv4("0.0.0.0"), 0u);
    EXPECT_EQ(WinBase::ParseIpv4("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(WinBase::Ipv4Field(0xFE05A8C0u, 0), 192u);
    EXPECT_EQ(WinBase::Ipv4Field(0xFE05A8C0u, 3), 254u);
}

TEST(Ipv4Text, RefusesEverythingElse) {
    for (const char* text :
         {"", "1.2.3", "1.2.3.4.5", "1.2.3.", ".1.2.3", "1..2.3", "01.2.3.4", "1.2.3.00", "256.1.1.1",
          "1.2.3.1000", "1.2.3.4 ", " 1.2.3.4", "+1.2.3.4", "1.2.3.-4", "0x1.2.3.4", "1,2,3,4", "1.2.3.4/24"})
        EXPECT_EQ(WinBase::ParseIpv4(text), std::nullopt) << text;
    EXPECT_EQ(WinBase::ParseIpv4(std::string("1.2.3.4\0", 8)), std::nullopt);
}

}  // namespace
