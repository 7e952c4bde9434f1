// QueryValue / SetValue against the registry's exact bytes, and CRegistryKey::Value.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "RegistryTestSupport.h"
#include "registry/Registry.h"
#include "test_support/RegistryFixture.h"

using BrenlowTools::CRegistryKey;
using RegistryTests::ExpectRegistryError;
using RegistryTests::ReadOrMissing;
using TestSupport::BytesValue;
using TestSupport::RawValue;
using TestSupport::ScopedTestKey;

namespace {

// Marks an output that must not be written to.
char* const kPoisonText = reinterpret_cast<char*>(static_cast<uintptr_t>(0x5EED));
BYTE* const kPoisonBytes = reinterpret_cast<BYTE*>(static_cast<uintptr_t>(0x5EED));
constexpr DWORD kPoisonNumber = 0xDEADBEEF;

std::string Bytes(const void* data, size_t size) {
    return std::string(static_cast<const char*>(data), size);
}

class ValueAccess : public ::testing::Test {
protected:
    void Write(const std::string& name, const RawValue& value) {
        TestSupport::WriteRawValue(m_fixture.Root(), m_fixture.Path(), name, value);
    }
    RawValue Read(const std::string& name) { return ReadOrMissing(m_fixture, name); }

    ScopedTestKey m_fixture{"values"};
    CRegistryKey m_key{RegistryTests::OpenRaw(m_fixture.Root(), m_fixture.Path())};
};

TEST_F(ValueAccess, TextFormReadsBothTextTypesExactly) {
    Write("sz", TestSupport::StringValue("plain"));
    Write("expand", BytesValue(REG_EXPAND_SZ, std::string("%SystemRoot%\\x\0", 15)));
    Write("empty", BytesValue(REG_SZ, ""));
    char* text = nullptr;
    ASSERT_TRUE(m_key.QueryValue("sz", &text));
    EXPECT_STREQ(text, "plain");
    std::free(text);
    ASSERT_TRUE(m_key.QueryValue("expand", &text));
    EXPECT_STREQ(text, "%SystemRoot%\\x");  // not expanded
    std::free(text);
    ASSERT_TRUE(m_key.QueryValue("empty", &text));
    EXPECT_STREQ(text, "");
    std::free(text);
}

TEST_F(ValueAccess, TextStoredWithoutTerminatorComesBackTerminated) {
    Write("raw", BytesValue(REG_SZ, "abc"));
    char* text = nullptr;
    ASSERT_TRUE(m_key.QueryValue("raw", &text));
    EXPECT_EQ(std::string(text), "abc");
    std::free(text);
}

TEST_F(ValueAccess, TypedReadsOfTheWrongTypeReturnFalseAndLeaveTheOutputAlone) {
    Write("number", TestSupport::DwordValue(3));
    Write("text", TestSupport::StringValue("x"));
    Write("four", BytesValue(REG_BINARY, "1234"));
    Write("list", TestSupport::MultiStringValue({"a", "b"}));
    char* text = kPoisonText;
    BYTE* bytes = kPoisonBytes;
    DWORD number = kPoisonNumber;
    EXPECT_FALSE(m_key.QueryValue("number", &text));
    EXPECT_FALSE(m_key.QueryValue("list", &text));
    EXPECT_FALSE(m_key.QueryValue("text", &bytes));
    EXPECT_FALSE(m_key.QueryValue("number", &bytes));
    EXPECT_FALSE(m_key.QueryValue("four", &number));
    EXPECT_FALSE(m_key.QueryValue("text", &number));
    EXPECT_EQ(text, kPoisonText);
    EXPECT_EQ(bytes, kPoisonBytes);
    EXPECT_EQ(number, kPoisonNumber);
}

TEST_F(ValueAccess, MissingValuesRaiseFileNotFoundAndLeaveTheOutputAlone) {
    char* text = kPoisonText;
    BYTE* bytes = kPoisonBytes;
    DWORD number = kPoisonNumber;
    const std::string location = "CRegistryKey::QueryValue()";
    ExpectRegistryError([&] { m_key.QueryValue("nope", &text); }, location, ERROR_FILE_NOT_FOUND);
    ExpectRegistryError([&] { m_key.QueryValue("nope", &bytes); }, location, ERROR_FILE_NOT_FOUND);
    ExpectRegistryError([&] { m_key.QueryValue("nope", &number); }, location, ERROR_FILE_NOT_FOUND);
    ExpectRegistryError([&] { m_key.QueryValue("nope"); }, location, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(text, kPoisonText);
    EXPECT_EQ(bytes, kPoisonBytes);
    EXPECT_EQ(number, kPoisonNumber);
}

TEST_F(ValueAccess, BytesFormReadsBinaryAndNone) {
    const std::string data("\x00\x1f\xff\x80", 4);
    Write("bin", BytesValue(REG_BINARY, data));
    Write("none", BytesValue(REG_NONE, "zz"));
    Write("nothing", BytesValue(REG_BINARY, ""));
    BYTE* bytes = nullptr;
    ASSERT_TRUE(m_key.QueryValue("bin", &bytes));
    EXPECT_EQ(Bytes(bytes, 4), data);
    std::free(bytes);
    ASSERT_TRUE(m_key.QueryValue("none", &bytes));
    EXPECT_EQ(Bytes(bytes, 2), "zz");
    std::free(bytes);
    bytes = nullptr;
    ASSERT_TRUE(m_key.QueryValue("nothing", &bytes));
    EXPECT_NE(bytes, nullptr);
    std::free(bytes);
}

TEST_F(ValueAccess, NumberFormReadsFourBytesInMemoryOrder) {
    Write("little", TestSupport::DwordValue(0x01020304));
    Write("big", BytesValue(REG_DWORD_BIG_ENDIAN, "\x01\x02\x03\x04"));
    DWORD number = 0;
    ASSERT_TRUE(m_key.QueryValue("little", &number));
    EXPECT_EQ(number, 0x01020304u);
    ASSERT_TRUE(m_key.QueryValue("big", &number));
    EXPECT_EQ(number, 0x04030201u);  // no byte swap
}

TEST_F(ValueAccess, NumberFormRaisesForAnyLengthButFour) {
    Write("long", BytesValue(REG_DWORD, "12345678"));
    Write("short", BytesValue(REG_DWORD_BIG_ENDIAN, "12"));
    DWORD number = kPoisonNumber;
    ExpectRegistryError([&] { m_key.QueryValue("long", &number); }, "CRegistryKey::QueryValue()",
                        ERROR_INVALID_DATA);
    ExpectRegistryError([&] { m_key.QueryValue("short", &number); }, "CRegistryKey::QueryValue()",
                        ERROR_INVALID_DATA);
    EXPECT_EQ(number, kPoisonNumber);
}

TEST_F(ValueAccess, WholeValueFormReadsAnyType) {
    Write("list", TestSupport::MultiStringValue({"one", "two"}));
    Write("", TestSupport::StringValue("default"));
    const CRegistryKey::Value list = m_key.QueryValue("list");
    EXPECT_STREQ(list.GetName(), "list");
    EXPECT_EQ(list.GetType(), static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(Bytes(list.GetData(), list.GetSize()), std::string("one\0two\0\0", 9));
    const CRegistryKey::Value unnamed = m_key.QueryValue(nullptr);
    EXPECT_STREQ(unnamed.GetName(), "");
    EXPECT_STREQ(static_cast<const char*>(unnamed), "default");
}

TEST_F(ValueAccess, ValueGrowingBetweenSizeQueryAndReadIsReadAgain) {
    // A writer that pauses between rewrites overtakes a read now and then, never on every
    // attempt: each read, of either form, must end with one of the two whole texts.
    const std::string shortText = "s", longText(3000, 'L');
    Write("moving", TestSupport::StringValue(shortText));
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 1500; ++i, Sleep(1))
            Write("moving", TestSupport::StringValue(i % 2 ? shortText : longText));
        done = true;
    });
    try {
        for (int read = 0; !done && !HasFailure(); ++read) {
            char* text = nullptr;
            const std::string got = read % 2 ? static_cast<const char*>(m_key.QueryValue("moving"))
                                    : m_key.QueryValue("moving", &text) ? text
                                                                        : "";
            std::free(text);
            EXPECT_TRUE(got == shortText || got == longText) << got.size() << " characters";
        }
    } catch (const CRegistryKey::Exception& e) {
        ADD_FAILURE() << "a read raised " << e.GetErrorCode();
    }
    writer.join();
}

TEST_F(ValueAccess, SetValueRefusesUnsuitableTypesBeforeWriting) {
    Write("kept", TestSupport::StringValue("old"));
    const std::string location = "CRegistryKey::SetValue()";
    ExpectRegistryError([&] { m_key.SetValue("kept", "new", REG_MULTI_SZ); }, location, ERROR_INVALID_FLAGS);
    ExpectRegistryError([&] { m_key.SetValue("kept", "new", REG_DWORD); }, location, ERROR_INVALID_FLAGS);
    ExpectRegistryError([&] { m_key.SetValue("kept", static_cast<DWORD>(1), REG_SZ); }, location,
                        ERROR_INVALID_FLAGS);
    ExpectRegistryError([&] { m_key.SetValue("kept", static_cast<DWORD>(1), REG_BINARY); }, location,
                        ERROR_INVALID_FLAGS);
    ExpectRegistryError([&] { m_key.SetValue("fresh", "new", REG_BINARY); }, location, ERROR_INVALID_FLAGS);
    ExpectRegistryError([&] { m_key.SetValue("kept", static_cast<const char*>(nullptr), REG_SZ); }, location,
                        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Read("kept"), TestSupport::StringValue("old"));
    EXPECT_FALSE(TestSupport::ReadRawValue(m_fixture.Root(), m_fixture.Path(), "fresh").has_value());
}

TEST_F(ValueAccess, SetValueWritesExactBytes) {
    m_key.SetValue("expand", "%TEMP%\\x", REG_EXPAND_SZ);
    EXPECT_EQ(Read("expand"), BytesValue(REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9)));
    m_key.SetValue("sz", "", REG_SZ);
    EXPECT_EQ(Read("sz"), BytesValue(REG_SZ, std::string("\0", 1)));
    m_key.SetValue("dword", static_cast<DWORD>(0x11223344), REG_DWORD_LITTLE_ENDIAN);
    EXPECT_EQ(Read("dword"), BytesValue(REG_DWORD, "\x44\x33\x22\x11"));
    const BYTE data[] = {0, 1, 2, 0xFF};
    m_key.SetValue("bin", data, static_cast<DWORD>(sizeof data));
    EXPECT_EQ(Read("bin"), BytesValue(REG_BINARY, std::string("\0\1\2\xff", 4)));
}

TEST_F(ValueAccess, BigEndianNumberIsStoredInMemoryOrderAndReadBackUnchanged) {
    m_key.SetValue("big", static_cast<DWORD>(0x11223344), REG_DWORD_BIG_ENDIAN);
    EXPECT_EQ(Read("big"), BytesValue(REG_DWORD_BIG_ENDIAN, "\x44\x33\x22\x11"));
    DWORD number = 0;
    ASSERT_TRUE(m_key.QueryValue("big", &number));
    EXPECT_EQ(number, 0x11223344u);
}

TEST_F(ValueAccess, WholeValueRoundTripsAnyType) {
    const std::string bytes("a\0b\0\0", 5);
    const CRegistryKey::Value list("list", reinterpret_cast<const BYTE*>(bytes.data()), 5, REG_MULTI_SZ);
    m_key.SetValue(list);
    EXPECT_EQ(Read("list"), BytesValue(REG_MULTI_SZ, bytes));
    const CRegistryKey::Value qword("q", reinterpret_cast<const BYTE*>("12345678"), 8, REG_QWORD);
    m_key.SetValue(qword);
    const CRegistryKey::Value back = m_key.QueryValue("q");
    EXPECT_EQ(back.GetType(), static_cast<DWORD>(REG_QWORD));
    EXPECT_EQ(Bytes(back.GetData(), back.GetSize()), "12345678");
}

// --- CRegistryKey::Value on its own ---

template <class Action>
void ExpectValueException(Action action) {
    try {
        action();
        ADD_FAILURE() << "no CRegistryKey::Value::Exception";
    } catch (const CRegistryKey::Value::Exception& e) {
        EXPECT_STREQ(e.GetLocation(), "CRegistryKey::Value::Exception");
        EXPECT_EQ(e.GetErrorCode(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
}

TEST(Value, NumberConvertsOnlyToANumber) {
    const CRegistryKey::Value five("n", static_cast<DWORD>(5), REG_DWORD);
    EXPECT_EQ(five.GetSize(), 4u);
    EXPECT_EQ(static_cast<DWORD>(five), 5u);
    EXPECT_STREQ(five.GetDisplayText(), "A number");
    ExpectValueException([&] { static_cast<void>(static_cast<const char*>(five)); });
    ExpectValueException([&] { static_cast<void>(static_cast<const BYTE*>(five)); });
    const CRegistryKey::Value big("b", static_cast<DWORD>(0x01020304), REG_DWORD_BIG_ENDIAN);
    EXPECT_EQ(static_cast<DWORD>(big), 0x01020304u);
    EXPECT_EQ(Bytes(big.GetData(), 4), "\x04\x03\x02\x01");
}

TEST(Value, ConstructorsRefuseUnsuitableTypes) {
    ExpectValueException([] { CRegistryKey::Value("t", "text", REG_MULTI_SZ); });
    ExpectValueException([] { CRegistryKey::Value("t", "text", REG_DWORD); });
    ExpectValueException([] { CRegistryKey::Value("n", static_cast<DWORD>(1), REG_SZ); });
    ExpectValueException([] { CRegistryKey::Value("n", static_cast<DWORD>(1), REG_BINARY); });
    ExpectValueException([] { CRegistryKey::Value("t", static_cast<const char*>(nullptr), REG_SZ); });
    ExpectValueException([] { CRegistryKey::Value("r", static_cast<const BYTE*>(nullptr), 3, REG_BINARY); });
}

TEST(Value, TextAndBytesConversions) {
    const CRegistryKey::Value text("t", "hello", REG_EXPAND_SZ);
    EXPECT_EQ(text.GetSize(), 6u);
    EXPECT_STREQ(static_cast<const char*>(text), "hello");
    ExpectValueException([&] { static_cast<void>(static_cast<DWORD>(text)); });
    const BYTE raw[] = {1, 2, 3};
    const CRegistryKey::Value none("b", raw, 3, REG_NONE);
    EXPECT_EQ(Bytes(static_cast<const BYTE*>(none), 3), "\1\2\3");
    ExpectValueException([&] { static_cast<void>(static_cast<const char*>(none)); });
    // A number value too short to hold a number is refused rather than over-read.
    const CRegistryKey::Value shortNumber("s", raw, 2, REG_DWORD);
    ExpectValueException([&] { static_cast<void>(static_cast<DWORD>(shortNumber)); });
    // A text stored without its zero still converts to a terminated text.
    const CRegistryKey::Value unterminated("u", reinterpret_cast<const BYTE*>("abc"), 3, REG_SZ);
    EXPECT_STREQ(static_cast<const char*>(unterminated), "abc");
}

TEST(Value, DisplayTextOfEveryKind) {
    const auto display = [](DWORD type, const std::string& bytes) {
        return std::string(CRegistryKey::Value("v", reinterpret_cast<const BYTE*>(bytes.data()),
                                               static_cast<DWORD>(bytes.size()), type)
                               .GetDisplayText());
    };
    EXPECT_EQ(display(REG_SZ, std::string("text\0", 5)), "text");
    EXPECT_EQ(display(REG_EXPAND_SZ, std::string("%PATH%\0", 7)), "%PATH%");
    EXPECT_EQ(display(REG_SZ, "no zero"), "no zero");
    EXPECT_EQ(display(REG_MULTI_SZ, std::string("a\0b\0\0", 5)), "a");
    EXPECT_EQ(display(REG_MULTI_SZ, ""), "");
    EXPECT_EQ(display(REG_DWORD, "1234"), "A number");
    EXPECT_EQ(display(REG_DWORD_BIG_ENDIAN, "1234"), "A number");
    EXPECT_EQ(display(REG_BINARY, std::string("\x00\x1f", 2)), "001f");
    EXPECT_EQ(display(REG_BINARY, "\x0a\xff"), "0aff");
    EXPECT_EQ(display(REG_BINARY, ""), "");
    EXPECT_EQ(display(REG_NONE, "\x7f"), "7f");
    EXPECT_EQ(display(REG_QWORD, std::string("\x01\0\0\0\0\0\0\x80", 8)), "0100000000000080");
    EXPECT_EQ(display(REG_LINK, "\xab"), "ab");
}

TEST(Value, CopiesAndAssignmentMakeTheirOwnDisplayText) {
    const CRegistryKey::Value original("o", "first", REG_SZ);
    const char* originalText = original.GetDisplayText();
    EXPECT_EQ(original.GetDisplayText(), originalText);  // cached
    const CRegistryKey::Value copy(original);
    EXPECT_STREQ(copy.GetName(), "o");
    EXPECT_NE(copy.GetDisplayText(), originalText);
    EXPECT_STREQ(copy.GetDisplayText(), "first");

    CRegistryKey::Value target("x", static_cast<DWORD>(9), REG_DWORD);
    EXPECT_STREQ(target.GetDisplayText(), "A number");
    target = original;
    EXPECT_STREQ(target.GetName(), "o");
    EXPECT_EQ(target.GetType(), static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(target.GetDisplayText(), "first");
    CRegistryKey::Value& alias = target;
    target = alias;
    EXPECT_STREQ(static_cast<const char*>(target), "first");
}

}  // namespace
