#pragma once
#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace TestSupport {

// A value as the registry holds it: type and exact bytes.
struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool operator==(const RawValue& other) const { return type == other.type && data == other.data; }
};

RawValue StringValue(const std::string& text);                     // REG_SZ, text + 1 zero
RawValue MultiStringValue(const std::vector<std::string>& items);  // REG_MULTI_SZ, closing zero
RawValue DwordValue(DWORD number);                                 // REG_DWORD, 4 bytes
RawValue BytesValue(DWORD type, const std::string& bytes);         // any type, given bytes

// Type name, size and bytes of a value, printable ("REG_SZ, 4 bytes "abc\x0"").
std::string DescribeValue(const RawValue& value);
// Lets test failures show values that way.
inline void PrintTo(const RawValue& value, std::ostream* out) {
    *out << DescribeValue(value);
}

// Reads a value with RegQueryValueExA; nullopt when the key or value is missing.
std::optional<RawValue> ReadRawValue(HKEY root, const std::string& path, const std::string& name);
// Creates the key when needed and writes the value exactly; fails the test on error.
void WriteRawValue(HKEY root, const std::string& path, const std::string& name, const RawValue& value);
// The same with the Unicode calls: the bytes as the registry stores them (UTF-16 text),
// with no code-page conversion either way. Names are ASCII.
std::optional<RawValue> ReadStoredValue(HKEY root, const std::string& path, const std::string& name);
void WriteStoredValue(HKEY root, const std::string& path, const std::string& name, const RawValue& value);
void CreateKey(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
// Removes a key and everything below it; a missing key is not an error.
void DeleteTree(HKEY root, const std::string& path);

// Sets the DACL of an existing key from SDDL text (Wine enforces it when the key is
// opened); fails the test on error. "D:P(A;;KRSDWD;;;WD)": readable, deletable and
// re-permissionable but not writable.
void SetKeySecurity(HKEY root, const std::string& path, const char* sddl);

// A key made readable only (or given another DACL) for as long as this lives; then
// everyone may do everything with it again, so fixtures can write or remove it.
class ScopedKeySecurity {
public:
    ScopedKeySecurity(HKEY root, const std::string& path, const char* sddl = "D:P(A;;KRSDWD;;;WD)");
    ~ScopedKeySecurity();
    ScopedKeySecurity(const ScopedKeySecurity&) = delete;
    ScopedKeySecurity& operator=(const ScopedKeySecurity&) = delete;

private:
    HKEY m_root;
    std::string m_path;
};

// One value of an existing key replaced by `value` (nullopt: removed) for as long as
// this lives; then put back with its exact bytes, or removed if there was none.
class ScopedStoredValue {
public:
    ScopedStoredValue(HKEY root, const std::string& path, const std::string& name,
                      const std::optional<RawValue>& value);
    ~ScopedStoredValue();
    ScopedStoredValue(const ScopedStoredValue&) = delete;
    ScopedStoredValue& operator=(const ScopedStoredValue&) = delete;

private:
    void Put(const std::optional<RawValue>& value) const;

    HKEY m_root;
    std::string m_path;
    std::string m_name;
    std::optional<RawValue> m_original;
};

// A unique key under <root>\Software\TarveloTests for one test group (root
// HKEY_CURRENT_USER unless given), created empty and removed with its whole tree at the end.
class ScopedTestKey {
public:
    explicit ScopedTestKey(const std::string& group, HKEY root = HKEY_CURRENT_USER);
    ~ScopedTestKey();
    ScopedTestKey(const ScopedTestKey&) = delete;
    ScopedTestKey& operator=(const ScopedTestKey&) = delete;

    HKEY Root() const { return m_root; }
    const std::string& Path() const { return m_path; }  // relative to Root()
    HKEY Handle() const { return m_key; }               // the open key, all access
    std::string Sub(const std::string& child) const { return m_path + "\\" + child; }

private:
    HKEY m_root;
    std::string m_path;
    HKEY m_key = nullptr;
};

}  // namespace TestSupport
