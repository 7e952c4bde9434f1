// Subkey and value iterators, and the deletions built on them, against the platform's
// own enumeration (Wine's order may differ from Windows', so never a fixed order).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "RegistryTestSupport.h"
#include "registry/Registry.h"
#include "test_support/RegistryFixture.h"

using BrenlowTools::CRegistryKey;
using RegistryTests::ExpectRegistryError;
using RegistryTests::IsHandleOpen;
using RegistryTests::OpenRaw;
using TestSupport::BytesValue;
using TestSupport::RawValue;
using TestSupport::ScopedTestKey;

namespace {

// "中文" and "測試" in Big5: two bytes per character under code page 950.
const std::string kChinese = "\xa4\xa4\xa4\xe5";
const std::string kChineseTest = "\xb4\xfa\xb8\xd5";

void CreateSubkey(HKEY parent, const std::string& name, const std::string& className = "") {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(parent, name.c_str(), 0,
                              className.empty() ? nullptr : const_cast<char*>(className.c_str()), 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << name;
    RegCloseKey(key);
}

// Subkey names and classes in RegEnumKeyExA index order, read with generous buffers.
std::vector<std::pair<std::string, std::string>> PlatformSubkeys(HKEY key) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (DWORD index = 0;; ++index) {
        char name[1024];
        char className[1024];
        DWORD nameLength = sizeof name;
        DWORD classLength = sizeof className;
        const LONG status =
            RegEnumKeyExA(key, index, name, &nameLength, nullptr, className, &classLength, nullptr);
        if (status != ERROR_SUCCESS) {
            EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
            return entries;
        }
        entries.emplace_back(name, className);
    }
}

std::vector<std::pair<std::string, std::string>> IteratedSubkeys(const CRegistryKey& key) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (auto it = key.SubkeysBegin(); it != key.SubkeysEnd(); it.Advance()) {
        entries.emplace_back(it.GetName(), it.GetClassName());
    }
    return entries;
}

struct Entry {
    std::string name;
    RawValue value;
    bool operator==(const Entry& other) const { return name == other.name && value == other.value; }
};

std::vector<Entry> PlatformValues(HKEY key) {
    std::vector<Entry> entries;
    std::vector<BYTE> data(1 << 20);
    for (DWORD index = 0;; ++index) {
        char name[1024];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        const LONG status = RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data.data(), &size);
        if (status != ERROR_SUCCESS) {
            EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
            return entries;
        }
        entries.push_back({name, RawValue{type, std::vector<BYTE>(data.begin(), data.begin() + size)}});
    }
}

// The iterator's current entry, through GetValue.
Entry CurrentEntry(const CRegistryKey::ValueIterator& it) {
    const CRegistryKey::Value value = it.GetValue();
    EXPECT_STREQ(value.GetName(), it.GetName());
    EXPECT_EQ(value.GetType(), it.GetType());
    EXPECT_EQ(value.GetSize(), it.GetSize());
    return {it.GetName(),
            RawValue{it.GetType(), std::vector<BYTE>(value.GetData(), value.GetData() + value.GetSize())}};
}

std::vector<Entry> IteratedValues(const CRegistryKey& key) {
    std::vector<Entry> entries;
    for (auto it = key.ValuesBegin(); it != key.ValuesEnd(); it.Advance())
        entries.push_back(CurrentEntry(it));
    return entries;
}

class Iterators : public ::testing::Test {
protected:
    HKEY Raw() const { return m_fixture.Handle(); }
    // Stores exactly the given bytes under the fixture key or its subkey `sub`.
    void SetRaw(const std::string& name, const RawValue& value, const std::string& sub = "") const {
        TestSupport::WriteRawValue(m_fixture.Root(), sub.empty() ? m_fixture.Path() : m_fixture.Sub(sub),
                                   name, value);
    }

    ScopedTestKey m_fixture{"iterators"};
    CRegistryKey m_key{OpenRaw(m_fixture.Root(), m_fixture.Path())};
};

// --- Subkeys ---

TEST_F(Iterators, SubkeysFollowTheIndexOrderForSeveralCounts) {
    EXPECT_TRUE(IteratedSubkeys(m_key).empty());
    for (const int count : {1, 3}) {
        const std::string parent = "n" + std::to_string(count);
        CreateSubkey(Raw(), parent);
        for (int i = 0; i < count; ++i)
            CreateSubkey(Raw(), parent + "\\sub" + std::to_string(i), "cls" + std::to_string(i));
        const CRegistryKey key = m_key.OpenSubkey(parent.c_str(), KEY_READ);
        const auto iterated = IteratedSubkeys(key);
        EXPECT_EQ(iterated.size(), static_cast<size_t>(count));
        EXPECT_EQ(iterated, PlatformSubkeys(key));
    }
}

TEST_F(Iterators, ThousandsOfSubkeys) {
    constexpr int kCount = 2500;
    std::set<std::string> expected;
    for (int i = 0; i < kCount; ++i) {
        const std::string name = "subkey-" + std::string(i % 7, 'x') + std::to_string(i);
        CreateSubkey(Raw(), name);
        expected.insert(name);
    }
    const auto iterated = IteratedSubkeys(m_key);
    EXPECT_EQ(iterated, PlatformSubkeys(Raw()));
    std::set<std::string> names;
    for (const auto& entry : iterated) names.insert(entry.first);
    EXPECT_EQ(names, expected);
}

TEST_F(Iterators, EmptyKeyBeginEqualsEndAndHoldsNoReference) {
    const HKEY raw = OpenRaw(m_fixture.Root(), m_fixture.Path());
    auto key = std::make_unique<CRegistryKey>(raw);
    const CRegistryKey::SubkeyListIterator subkeys = key->SubkeysBegin();
    const CRegistryKey::ValueListIterator values = key->ValuesBegin();
    EXPECT_TRUE(subkeys == key->SubkeysEnd());
    EXPECT_FALSE(subkeys != key->SubkeysEnd());
    EXPECT_TRUE(values == key->ValuesEnd());
    key.reset();
    EXPECT_FALSE(IsHandleOpen(raw));
}

TEST_F(Iterators, EndIteratorsOfDifferentKeysCompareEqual) {
    CreateSubkey(Raw(), "only");
    SetRaw("v", TestSupport::DwordValue(1));
    const CRegistryKey other = m_key.OpenSubkey("only", KEY_READ);
    auto finished = m_key.SubkeysBegin();
    EXPECT_TRUE(finished != m_key.SubkeysEnd());
    finished.Advance();
    EXPECT_TRUE(finished == other.SubkeysEnd());
    finished.Advance();  // stays at the end
    EXPECT_TRUE(finished == CRegistryKey().SubkeysEnd());
    EXPECT_FALSE(finished.GetSubkeyInfo());  // nothing to read at the end, and no crash
    auto values = m_key.ValuesBegin();
    values.Advance();
    EXPECT_TRUE(values == other.ValuesEnd());
    EXPECT_FALSE(values.GetValueInfo());
}

TEST_F(Iterators, NamesAndClassesLongerThanTheInitialBuffersGrowThem) {
    CreateSubkey(Raw(), "a", "c");
    CreateSubkey(Raw(), "b", "c");
    const std::string longName = "z" + std::string(200, 'n');
    const std::string longClass(300, 'k');
    std::vector<std::pair<std::string, std::string>> seen;
    auto it = m_key.SubkeysBegin();  // buffers sized for one-character names
    ASSERT_TRUE(it != m_key.SubkeysEnd());
    seen.emplace_back(it.GetName(), it.GetClassName());
    CreateSubkey(Raw(), longName, longClass);
    for (it.Advance(); it != m_key.SubkeysEnd(); it.Advance())
        seen.emplace_back(it.GetName(), it.GetClassName());
    EXPECT_EQ(seen, PlatformSubkeys(Raw()));
    EXPECT_NE(std::find(seen.begin(), seen.end(), std::make_pair(longName, longClass)), seen.end());
}

TEST_F(Iterators, DoubleByteNamesLongerInBytesThanInCharactersAreRead) {
    // The reported maxima count characters; under code page 950 the narrow names are
    // twice as long, so the first step has to grow past the reported size.
    const std::string name = kChinese + kChineseTest;
    CreateSubkey(Raw(), name, kChineseTest);
    SetRaw(name, TestSupport::StringValue(kChinese));
    const auto subkeys = IteratedSubkeys(m_key);
    ASSERT_EQ(subkeys.size(), 1u);
    EXPECT_EQ(subkeys[0].first, name);
    EXPECT_EQ(subkeys[0].second, kChineseTest);
    const auto values = IteratedValues(m_key);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, name);
    EXPECT_EQ(values[0].value, TestSupport::StringValue(kChinese));
}

TEST_F(Iterators, KeyStaysOpenUnderALiveIteratorAndClosesAtTheEnd) {
    CreateSubkey(Raw(), "one");
    CreateSubkey(Raw(), "two");
    SetRaw("v", TestSupport::DwordValue(1));
    const HKEY raw = OpenRaw(m_fixture.Root(), m_fixture.Path());
    auto key = std::make_unique<CRegistryKey>(raw);
    auto subkeys = key->SubkeysBegin();
    auto copy = subkeys;  // a second reference through the iterator copy
    key.reset();
    EXPECT_TRUE(IsHandleOpen(raw));
    subkeys.Advance();
    EXPECT_EQ(subkeys.OpenSubkey(KEY_READ).SubkeysBegin(), CRegistryKey().SubkeysEnd());
    subkeys.Advance();
    EXPECT_TRUE(subkeys == CRegistryKey().SubkeysEnd());
    EXPECT_TRUE(IsHandleOpen(raw));  // the copy still holds it
    copy = subkeys;                  // assigning the end releases the copy's reference
    EXPECT_FALSE(IsHandleOpen(raw));

    const HKEY again = OpenRaw(m_fixture.Root(), m_fixture.Path());
    {
        auto valueIterator = CRegistryKey(again).ValuesBegin();
        EXPECT_TRUE(IsHandleOpen(again));
        EXPECT_STREQ(valueIterator.GetName(), "v");
    }  // destroyed before its end
    EXPECT_FALSE(IsHandleOpen(again));
}

TEST_F(Iterators, OpenSubkeyOfTheCurrentEntry) {
    TestSupport::WriteRawValue(m_fixture.Root(), m_fixture.Sub("child"), "v", TestSupport::DwordValue(42));
    const auto it = m_key.SubkeysBegin();
    DWORD number = 0;
    ASSERT_TRUE(it.OpenSubkey(KEY_READ).QueryValue("v", &number));
    EXPECT_EQ(number, 42u);
    ExpectRegistryError([] { CRegistryKey().SubkeysEnd().OpenSubkey(KEY_READ); },
                        "CRegistryKey::CRegistryKey(HKEY hKey ...)", ERROR_INVALID_HANDLE);
}

// --- Values ---

TEST_F(Iterators, ValuesMatchThePlatformForSeveralCounts) {
    EXPECT_TRUE(IteratedValues(m_key).empty());
    for (const int count : {1, 3}) {
        const std::string parent = "n" + std::to_string(count);
        CreateSubkey(Raw(), parent);
        const CRegistryKey key = m_key.OpenSubkey(parent.c_str(), KEY_ALL_ACCESS);
        for (int i = 0; i < count; ++i)
            SetRaw("v" + std::to_string(i), TestSupport::StringValue(std::string(i * 5, 'd')), parent);
        const auto iterated = IteratedValues(key);
        EXPECT_EQ(iterated.size(), static_cast<size_t>(count));
        EXPECT_EQ(iterated, PlatformValues(key));
    }
}

TEST_F(Iterators, ThousandsOfValues) {
    constexpr int kCount = 3000;
    std::map<std::string, RawValue> expected;
    for (int i = 0; i < kCount; ++i) {
        const std::string name = "value" + std::to_string(i);
        const RawValue value = (i % 3 == 0)   ? TestSupport::DwordValue(i)
                               : (i % 3 == 1) ? TestSupport::StringValue(std::string(i % 50, 's'))
                                              : BytesValue(REG_BINARY, std::string(i % 40, '\x5a'));
        SetRaw(name, value);
        expected.emplace(name, value);
    }
    const auto iterated = IteratedValues(m_key);
    EXPECT_EQ(iterated, PlatformValues(Raw()));
    std::map<std::string, RawValue> got;
    for (const auto& entry : iterated) got.emplace(entry.name, entry.value);
    EXPECT_EQ(got, expected);
}

TEST_F(Iterators, DisplayTextOfEveryType) {
    const std::map<std::string, std::pair<RawValue, std::string>> cases = {
        {"sz", {TestSupport::StringValue("text"), "text"}},
        {"expand", {BytesValue(REG_EXPAND_SZ, std::string("%PATH%\0", 7)), "%PATH%"}},
        {"multi", {TestSupport::MultiStringValue({"a", "b"}), "a"}},
        {"dword", {TestSupport::DwordValue(5), "A number"}},
        {"big", {BytesValue(REG_DWORD_BIG_ENDIAN, "\0\0\0\5"), "A number"}},
        {"binary", {BytesValue(REG_BINARY, std::string("\x00\x1f", 2)), "001f"}},
        {"none", {BytesValue(REG_NONE, "\x0a\xff"), "0aff"}},
        {"qword", {BytesValue(REG_QWORD, std::string("\1\0\0\0\0\0\0\0", 8)), "0100000000000000"}},
        {"empty", {BytesValue(REG_BINARY, ""), ""}},
        {"unterminated", {BytesValue(REG_SZ, "abc"), "abc"}},
    };
    for (const auto& [name, value] : cases) SetRaw(name, value.first);
    std::map<std::string, std::string> shown;
    std::string previous;
    for (auto it = m_key.ValuesBegin(); it != m_key.ValuesEnd(); it.Advance()) {
        const char* text = it.GetDisplayText();
        EXPECT_EQ(it.GetDisplayText(), text);  // made once per step
        shown[it.GetName()] = text;
    }
    ASSERT_EQ(shown.size(), cases.size());
    for (const auto& [name, value] : cases) EXPECT_EQ(shown[name], value.second) << name;
}

TEST_F(Iterators, ValuesLongerThanTheInitialBuffersGrowThem) {
    SetRaw("a", TestSupport::DwordValue(1));
    SetRaw("b", TestSupport::DwordValue(2));
    auto it = m_key.ValuesBegin();  // buffers sized for one-character names and 4 bytes
    ASSERT_TRUE(it != m_key.ValuesEnd());
    std::vector<Entry> seen{CurrentEntry(it)};
    const std::string longName = "z" + std::string(300, 'n');
    const RawValue bigData = BytesValue(REG_BINARY, std::string(70000, '\x42'));
    SetRaw(longName, bigData);
    for (it.Advance(); it != m_key.ValuesEnd(); it.Advance()) seen.push_back(CurrentEntry(it));
    EXPECT_EQ(seen, PlatformValues(Raw()));
    bool found = false;
    for (const auto& entry : seen) found = found || (entry.name == longName && entry.value == bigData);
    EXPECT_TRUE(found);
}

TEST_F(Iterators, GrowthAgainstAWriterThatKeepsEnlargingEndsEitherWay) {
    SetRaw("grow", BytesValue(REG_BINARY, "x"));
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        const HKEY raw = OpenRaw(m_fixture.Root(), m_fixture.Path());
        std::string data = "x";
        while (!stop) {
            data.append(data.size() < (1 << 16) ? data.size() : 1, '\x43');
            if (data.size() > (1 << 18)) data = "x";
            RegSetValueExA(raw, "grow", 0, REG_BINARY, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size()));
        }
        RegCloseKey(raw);
    });
    for (int round = 0; round < 200; ++round) {
        try {
            for (auto it = m_key.ValuesBegin(); it != m_key.ValuesEnd(); it.Advance()) {
                EXPECT_STREQ(it.GetName(), "grow");
                EXPECT_GE(it.GetSize(), 1u);
            }
        } catch (const CRegistryKey::Exception& e) {
            EXPECT_STREQ(e.GetLocation(), "CRegistryKey::ValueIterator::GetValueInfo()");
            EXPECT_EQ(e.GetErrorCode(), static_cast<DWORD>(ERROR_MORE_DATA));
        }
    }
    stop = true;
    writer.join();
}

TEST_F(Iterators, AStepNeverShowsAStaleOrEmptyNameWhileEntriesComeAndGo) {
    // One thread keeps adding a long-named subkey and emptying the key; every entry an
    // iterator reports must be one of the real names, whatever it met on the way.
    const std::string longName(180, 'L');
    std::atomic<bool> stop{false};
    std::thread churn([&] {
        const HKEY raw = OpenRaw(m_fixture.Root(), m_fixture.Path());
        while (!stop) {
            HKEY child = nullptr;
            RegCreateKeyExA(raw, "s", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr);
            RegCloseKey(child);
            RegCreateKeyExA(raw, longName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr);
            RegCloseKey(child);
            RegDeleteKeyA(raw, longName.c_str());
            RegDeleteKeyA(raw, "s");
        }
        RegCloseKey(raw);
    });
    for (int round = 0; round < 500; ++round) {
        try {
            for (auto it = m_key.SubkeysBegin(); it != m_key.SubkeysEnd(); it.Advance()) {
                const std::string name = it.GetName();
                EXPECT_TRUE(name == "s" || name == longName)
                    << "bad name of " << name.size() << " characters";
            }
        } catch (const CRegistryKey::Exception& e) {
            EXPECT_STREQ(e.GetLocation(), "CRegistryKey::SubkeyIterator::GetSubkeyInfo()");
        }
    }
    stop = true;
    churn.join();
}

// --- Deletion ---

TEST_F(Iterators, DeleteKeyRefusesAKeyWithChildrenAndDeletesNothing) {
    CreateSubkey(Raw(), "parent\\child");
    ExpectRegistryError([&] { m_key.DeleteKey("parent"); }, "CRegistryKey::DeleteKey()", ERROR_ACCESS_DENIED);
    EXPECT_TRUE(TestSupport::KeyExists(m_fixture.Root(), m_fixture.Sub("parent\\child")));
    m_key.OpenSubkey("parent").DeleteKey("child");
    m_key.DeleteKey("parent");
    EXPECT_FALSE(TestSupport::KeyExists(m_fixture.Root(), m_fixture.Sub("parent")));
}

TEST_F(Iterators, DeletingAMissingSubkeyRaisesFromTheOpen) {
    ExpectRegistryError([&] { m_key.DeleteKey("missing"); }, "CRegistryKey::CRegistryKey(HKEY hKey ...)",
                        ERROR_FILE_NOT_FOUND);
    ExpectRegistryError([&] { m_key.DeleteKeyTree("missing"); }, "CRegistryKey::CRegistryKey(HKEY hKey ...)",
                        ERROR_FILE_NOT_FOUND);
}

TEST_F(Iterators, DeleteKeyTreeRemovesADeepWideTreeAndNothingElse) {
    std::string path = "root";
    for (int depth = 0; depth < 12; ++depth) {
        for (int sibling = 0; sibling < 3; ++sibling) {
            TestSupport::WriteRawValue(m_fixture.Root(),
                                       m_fixture.Sub(path + "\\s" + std::to_string(sibling)), "v",
                                       TestSupport::DwordValue(depth));
        }
        path += "\\" + (depth % 2 == 0 ? kChinese : std::string("level")) + std::to_string(depth);
        TestSupport::CreateKey(m_fixture.Root(), m_fixture.Sub(path));
    }
    CreateSubkey(Raw(), "neighbour");
    m_key.DeleteKeyTree("root");
    EXPECT_FALSE(TestSupport::KeyExists(m_fixture.Root(), m_fixture.Sub("root")));
    EXPECT_TRUE(TestSupport::KeyExists(m_fixture.Root(), m_fixture.Sub("neighbour")));
}

TEST_F(Iterators, DeleteKeyTreeOfALeafIsDeleteKey) {
    TestSupport::WriteRawValue(m_fixture.Root(), m_fixture.Sub("leaf"), "v", TestSupport::DwordValue(1));
    m_key.DeleteKeyTree("leaf");
    EXPECT_FALSE(TestSupport::KeyExists(m_fixture.Root(), m_fixture.Sub("leaf")));
}

}  // namespace
