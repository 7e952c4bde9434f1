#include "registry/RegistryValue.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "DisplayText.h"
#include "RegistryStatus.h"
#include "registry/ExpandableBuffer.h"

namespace BrenlowTools {

using Internal::Check;

namespace {

constexpr char kQueryLocation[] = "CRegistryKey::QueryValue()";
constexpr char kSetLocation[] = "CRegistryKey::SetValue()";

// A value that keeps changing size between the size query and the read makes the
// read fail with ERROR_MORE_DATA; after this many attempts that status is raised.
constexpr int kMaxReadAttempts = 8;

bool IsBytesType(DWORD type) {
    return type == REG_BINARY || type == REG_NONE;
}
bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}
bool IsNumberType(DWORD type) {
    return type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN;
}

struct FreeBlock {
    void operator()(void* block) const noexcept { std::free(block); }
};
using MallocBlock = std::unique_ptr<BYTE, FreeBlock>;

// Reads a value of an accepted type into a malloc block of the stored bytes followed
// by `zeros` zero bytes. False when the stored type is not accepted (nothing is
// allocated). Raises CRegistryKey::Exception or std::bad_alloc.
bool ReadIntoMallocBlock(HKEY key, const char* valueName, bool (*accepts)(DWORD), DWORD zeros, BYTE** out) {
    for (int attempt = 0; attempt < kMaxReadAttempts; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        Check(RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size), kQueryLocation);
        if (!accepts(type)) return false;
        if (size > MAXDWORD - zeros - 1) throw std::bad_alloc();
        MallocBlock block(static_cast<BYTE*>(std::malloc(size + zeros + 1)));
        if (!block) throw std::bad_alloc();
        DWORD readSize = size;
        const LONG status = RegQueryValueExA(key, valueName, nullptr, &type, block.get(), &readSize);
        if (status == ERROR_MORE_DATA) continue;  // grew since the size query
        Check(status, kQueryLocation);
        if (!accepts(type)) continue;  // rewritten with another type: look again
        std::memset(block.get() + readSize, 0, zeros);
        *out = block.release();
        return true;
    }
    throw CRegistryKey::Exception(kQueryLocation, ERROR_MORE_DATA);
}

}  // namespace

// --- CRegistryKey value operations ---

bool CRegistryKey::QueryValue(const char* valueName, BYTE** out) const {
    return ReadIntoMallocBlock(Handle(), valueName, IsBytesType, 0, out);
}

bool CRegistryKey::QueryValue(const char* valueName, char** out) const {
    BYTE* block = nullptr;
    // One zero past the stored bytes: a text stored without one still ends.
    if (!ReadIntoMallocBlock(Handle(), valueName, IsTextType, 1, &block)) return false;
    *out = reinterpret_cast<char*>(block);
    return true;
}

bool CRegistryKey::QueryValue(const char* valueName, DWORD* out) const {
    DWORD type = REG_NONE;
    DWORD size = 0;
    Check(RegQueryValueExA(Handle(), valueName, nullptr, &type, nullptr, &size), kQueryLocation);
    if (!IsNumberType(type)) return false;
    // No Win32 status describes a number of the wrong length; this one says so.
    if (size != sizeof(DWORD)) throw Exception(kQueryLocation, ERROR_INVALID_DATA);
    DWORD number = 0;
    size = sizeof number;
    Check(RegQueryValueExA(Handle(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size),
          kQueryLocation);
    if (!IsNumberType(type) || size != sizeof(DWORD)) throw Exception(kQueryLocation, ERROR_INVALID_DATA);
    *out = number;
    return true;
}

CRegistryKey::Value CRegistryKey::QueryValue(const char* valueName) const {
    CExpandableBuffer block;
    for (int attempt = 0; attempt < kMaxReadAttempts; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        Check(RegQueryValueExA(Handle(), valueName, nullptr, &type, nullptr, &size), kQueryLocation);
        // Never a null destination: with one the second call would only report the size.
        block.Resize(size == 0 ? 1 : size);
        size = block.GetSize();
        const LONG status = RegQueryValueExA(Handle(), valueName, nullptr, &type, block.GetBuffer(), &size);
        if (status == ERROR_MORE_DATA) continue;  // grew since the size query
        Check(status, kQueryLocation);
        return Value(valueName, block.GetBuffer(), size, type);
    }
    throw Exception(kQueryLocation, ERROR_MORE_DATA);
}

void CRegistryKey::SetValue(const char* valueName, const BYTE* data, DWORD size) const {
    Check(RegSetValueExA(Handle(), valueName, 0, REG_BINARY, data, size), kSetLocation);
}

void CRegistryKey::SetValue(const char* valueName, const char* text, DWORD type) const {
    if (!IsTextType(type)) throw Exception(kSetLocation, ERROR_INVALID_FLAGS);
    if (text == nullptr) throw Exception(kSetLocation, ERROR_INVALID_PARAMETER);
    const size_t length = std::strlen(text);
    if (length >= MAXDWORD) throw Exception(kSetLocation, ERROR_INVALID_PARAMETER);
    Check(RegSetValueExA(Handle(), valueName, 0, type, reinterpret_cast<const BYTE*>(text),
                         static_cast<DWORD>(length + 1)),
          kSetLocation);
}

void CRegistryKey::SetValue(const char* valueName, DWORD number, DWORD type) const {
    if (!IsNumberType(type)) throw Exception(kSetLocation, ERROR_INVALID_FLAGS);
    Check(RegSetValueExA(Handle(), valueName, 0, type, reinterpret_cast<const BYTE*>(&number), sizeof number),
          kSetLocation);
}

void CRegistryKey::SetValue(const Value& value) const {
    Check(RegSetValueExA(Handle(), value.GetName(), 0, value.GetType(), value.GetData(), value.GetSize()),
          kSetLocation);
}

// --- CRegistryKey::Value ---

CRegistryKey::Value::Value(const char* name, const BYTE* data, DWORD size, DWORD type) {
    if (data == nullptr && size != 0) throw Exception();
    Assign(name, data, size, type);
}

CRegistryKey::Value::Value(const char* name, const char* text, DWORD type) {
    if (!IsTextType(type) || text == nullptr) throw Exception();
    const size_t length = std::strlen(text);
    if (length >= MAXDWORD) throw Exception();
    Assign(name, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(length + 1), type);
}

CRegistryKey::Value::Value(const char* name, DWORD number, DWORD type) {
    if (!IsNumberType(type)) throw Exception();
    Assign(name, reinterpret_cast<const BYTE*>(&number), sizeof number, type);
}

CRegistryKey::Value::Value(const Value& other) {
    Assign(other.GetName(), other.GetData(), other.m_size, other.m_type);
}

CRegistryKey::Value& CRegistryKey::Value::operator=(const Value& other) {
    if (this != &other) Assign(other.GetName(), other.GetData(), other.m_size, other.m_type);
    return *this;
}

void CRegistryKey::Value::Assign(const char* name, const BYTE* data, DWORD size, DWORD type) {
    if (name == nullptr) name = "";
    const size_t nameLength = std::strlen(name);
    auto newName = std::make_unique<char[]>(nameLength + 1);
    std::memcpy(newName.get(), name, nameLength + 1);
    if (size == MAXDWORD) throw std::bad_alloc();
    // The zero past the bytes keeps a text conversion terminated whatever was stored.
    auto newData = std::make_unique<BYTE[]>(static_cast<size_t>(size) + 1);
    if (size != 0) std::memcpy(newData.get(), data, size);
    m_name = std::move(newName);
    m_data = std::move(newData);
    m_size = size;
    m_type = type;
    m_displayText.reset();
}

CRegistryKey::Value::operator const BYTE*() const {
    if (!IsBytesType(m_type)) throw Exception();
    return m_data.get();
}

CRegistryKey::Value::operator const char*() const {
    if (!IsTextType(m_type)) throw Exception();
    return reinterpret_cast<const char*>(m_data.get());
}

CRegistryKey::Value::operator DWORD() const {
    if (!IsNumberType(m_type) || m_size < sizeof(DWORD)) throw Exception();
    DWORD number = 0;
    std::memcpy(&number, m_data.get(), sizeof number);
    return number;
}

const char* CRegistryKey::Value::GetDisplayText() const {
    if (!m_displayText) m_displayText = Internal::MakeDisplayText(m_type, m_data.get(), m_size);
    return m_displayText.get();
}

}  // namespace BrenlowTools
