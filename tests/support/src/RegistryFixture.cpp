#include "test_support/RegistryFixture.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <atomic>
#include <memory>
#include <sstream>

namespace TestSupport {

RawValue StringValue(const std::string& text) {
    RawValue v{REG_SZ, std::vector<BYTE>(text.begin(), text.end())};
    v.data.push_back(0);
    return v;
}

RawValue MultiStringValue(const std::vector<std::string>& items) {
    RawValue v{REG_MULTI_SZ, {}};
    for (const auto& item : items) {
        v.data.insert(v.data.end(), item.begin(), item.end());
        v.data.push_back(0);
    }
    v.data.push_back(0);
    return v;
}

RawValue DwordValue(DWORD number) {
    RawValue v{REG_DWORD, std::vector<BYTE>(4)};
    memcpy(v.data.data(), &number, 4);
    return v;
}

RawValue BytesValue(DWORD type, const std::string& bytes) {
    return RawValue{type, std::vector<BYTE>(bytes.begin(), bytes.end())};
}

std::string DescribeValue(const RawValue& value) {
    static const char* const names[] = {"REG_NONE",   "REG_SZ",      "REG_EXPAND_SZ",
                                        "REG_BINARY", "REG_DWORD",   "REG_DWORD_BIG_ENDIAN",
                                        "REG_LINK",   "REG_MULTI_SZ"};
    std::ostringstream out;
    if (value.type < sizeof names / sizeof names[0])
        out << names[value.type];
    else
        out << "type " << value.type;
    out << ", " << value.data.size() << " bytes \"";
    for (const BYTE b : value.data) {
        if (b >= 0x20 && b < 0x7F)
            out << static_cast<char>(b);
        else
            out << "\\x" << std::hex << static_cast<int>(b) << std::dec;
    }
    return out.str() + "\"";
}

namespace {

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Opens the key and reads the value with one pair of calls (narrow or Unicode), sizing
// the buffer first; nullopt when the key or value is missing.
template <typename Text, typename Open, typename Query>
std::optional<RawValue> ReadWith(HKEY root, const Text& path, const Text& name, Open open, Query query) {
    HKEY key = nullptr;
    if (open(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LONG status = query(key, name.c_str(), nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.data.resize(size);
        status = query(key, name.c_str(), nullptr, &value.type, value.data.data(), &size);
        value.data.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

}  // namespace

std::optional<RawValue> ReadRawValue(HKEY root, const std::string& path, const std::string& name) {
    return ReadWith(root, path, name, RegOpenKeyExA, RegQueryValueExA);
}

std::optional<RawValue> ReadStoredValue(HKEY root, const std::string& path, const std::string& name) {
    return ReadWith(root, Widen(path), Widen(name), RegOpenKeyExW, RegQueryValueExW);
}

void CreateKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    const LONG status =
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ASSERT_EQ(status, ERROR_SUCCESS) << "creating " << path;
    RegCloseKey(key);
}

void WriteRawValue(HKEY root, const std::string& path, const std::string& name, const RawValue& value) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ASSERT_EQ(status, ERROR_SUCCESS) << "creating " << path;
    // The registry counts a zero byte right after string data as part of it; a
    // non-zero guard byte keeps the stored size exactly the one given.
    std::vector<BYTE> guarded(value.data);
    guarded.push_back(0xFF);
    status = RegSetValueExA(key, name.c_str(), 0, value.type, guarded.data(),
                            static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS) << "writing " << path << "\\" << name;
}

void WriteStoredValue(HKEY root, const std::string& path, const std::string& name, const RawValue& value) {
    std::vector<BYTE> guarded(value.data);  // non-zero guard, as in WriteRawValue
    guarded.insert(guarded.end(), {0xFF, 0xFF});
    const LONG status = RegSetKeyValueW(root, Widen(path).c_str(), Widen(name).c_str(), value.type,
                                        guarded.data(), static_cast<DWORD>(value.data.size()));
    ASSERT_EQ(status, ERROR_SUCCESS) << "writing " << path << "\\" << name;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void DeleteTree(HKEY root, const std::string& path) {
    const LONG status = RegDeleteTreeA(root, path.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyA(root, path.c_str());
        return;
    }
    ADD_FAILURE() << "deleting " << path << " failed with " << status;
}

void SetKeySecurity(HKEY root, const std::string& path, const char* sddl) {
    PSECURITY_DESCRIPTOR raw = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &raw, nullptr))
        << sddl;
    const std::unique_ptr<void, decltype(&LocalFree)> descriptor(raw, &LocalFree);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS) << path;
    const LONG status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.get());
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS) << path;
}

ScopedKeySecurity::ScopedKeySecurity(HKEY root, const std::string& path, const char* sddl)
    : m_root(root), m_path(path) {
    SetKeySecurity(root, path, sddl);
}

ScopedKeySecurity::~ScopedKeySecurity() {
    SetKeySecurity(m_root, m_path, "D:(A;;KA;;;WD)");
}

ScopedStoredValue::ScopedStoredValue(HKEY root, const std::string& path, const std::string& name,
                                     const std::optional<RawValue>& value)
    : m_root(root), m_path(path), m_name(name), m_original(ReadStoredValue(root, path, name)) {
    Put(value);
}

ScopedStoredValue::~ScopedStoredValue() {
    Put(m_original);
}

void ScopedStoredValue::Put(const std::optional<RawValue>& value) const {
    if (value) return WriteStoredValue(m_root, m_path, m_name, *value);
    const LONG status = RegDeleteKeyValueW(m_root, Widen(m_path).c_str(), Widen(m_name).c_str());
    EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        << "removing " << m_path << "\\" << m_name;
}

ScopedTestKey::ScopedTestKey(const std::string& group, HKEY root) : m_root(root) {
    static std::atomic<unsigned> counter{0};
    m_path = "Software\\TarveloTests\\" + group + "-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(++counter);
    DeleteTree(m_root, m_path);
    const LONG status =
        RegCreateKeyExA(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    if (status != ERROR_SUCCESS) ADD_FAILURE() << "cannot create fixture key " << m_path << ": " << status;
}

ScopedTestKey::~ScopedTestKey() {
    if (m_key != nullptr) RegCloseKey(m_key);
    DeleteTree(m_root, m_path);
}

}  // namespace TestSupport
