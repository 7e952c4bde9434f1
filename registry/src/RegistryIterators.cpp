#include "registry/RegistryIterators.h"

#include <algorithm>
#include <type_traits>
#include <utility>

#include "DisplayText.h"
#include "RegistryStatus.h"

namespace BrenlowTools {

using Internal::Check;

namespace {

constexpr char kSubkeyConstructorLocation[] = "CRegistryKey::SubkeyIterator::SubkeyIterator()";
constexpr char kSubkeyInfoLocation[] = "CRegistryKey::SubkeyIterator::GetSubkeyInfo()";
constexpr char kValueConstructorLocation[] = "CRegistryKey::ValueIterator::ValueIterator()";
constexpr char kValueInfoLocation[] = "CRegistryKey::ValueIterator::GetValueInfo()";

// Attempts per step while an entry does not fit (ERROR_MORE_DATA). The maxima that
// Windows reports count characters, while a narrow name may take two bytes per
// character, so each growth at least doubles the buffer as well.
constexpr int kMaxGrowthAttempts = 16;

DWORD GrownSize(DWORD currentSize, DWORD longest) {
    const DWORD doubled = currentSize > MAXDWORD / 2 ? MAXDWORD : currentSize * 2;
    return std::max(longest + 1, doubled);
}

char* Chars(CExpandableBuffer& buffer) {
    return reinterpret_cast<char*>(buffer.GetBuffer());
}

// After growing, the old contents are gone: leave an empty name, not garbage.
void ClearText(CExpandableBuffer& buffer) {
    if (buffer.GetSize() != 0) buffer.GetBuffer()[0] = 0;
}

}  // namespace

// --- IteratorBase ---

CRegistryKey::IteratorBase::IteratorBase(CCountedRegKey* holder) noexcept
    : m_holder(AddRefIfNotNull(holder)) {}

CRegistryKey::IteratorBase::IteratorBase(const IteratorBase& other) noexcept
    : m_holder(AddRefIfNotNull(other.m_holder)), m_index(other.m_index) {}

CRegistryKey::IteratorBase::IteratorBase(IteratorBase&& other) noexcept
    : m_holder(other.m_holder), m_index(other.m_index) {
    other.m_holder = nullptr;
    other.m_index = 0;
}

CRegistryKey::IteratorBase& CRegistryKey::IteratorBase::operator=(const IteratorBase& other) noexcept {
    if (this != &other) {
        CCountedRegKey* const shared = AddRefIfNotNull(other.m_holder);
        if (m_holder != nullptr) m_holder->Release();
        m_holder = shared;
        m_index = other.m_index;
    }
    return *this;
}

CRegistryKey::IteratorBase::~IteratorBase() {
    if (m_holder != nullptr) m_holder = m_holder->Release();
}

void CRegistryKey::IteratorBase::SwapPosition(IteratorBase& other) noexcept {
    std::swap(m_holder, other.m_holder);
    std::swap(m_index, other.m_index);
}

void CRegistryKey::IteratorBase::MoveToEnd() noexcept {
    if (m_holder != nullptr) m_holder = m_holder->Release();
    m_index = 0;
}

// --- SubkeyIterator ---

CRegistryKey::SubkeyIterator::SubkeyIterator(CCountedRegKey* holder) : IteratorBase(holder) {
    if (m_holder == nullptr) return;
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestClass = 0;
    Check(RegQueryInfoKeyA(Handle(), nullptr, nullptr, nullptr, &count, &longestName, &longestClass, nullptr,
                           nullptr, nullptr, nullptr, nullptr),
          kSubkeyConstructorLocation);
    // Sized even for an empty key, so that the enumeration never gets a null buffer.
    m_name.Resize(longestName + 1);
    m_class.Resize(longestClass + 1);
    ClearText(m_name);
    ClearText(m_class);
}

CRegistryKey::SubkeyIterator& CRegistryKey::SubkeyIterator::operator=(SubkeyIterator other) {
    Swap(other);
    return *this;
}

void CRegistryKey::SubkeyIterator::Swap(SubkeyIterator& other) noexcept {
    SwapPosition(other);
    m_name.Swap(other.m_name);
    m_class.Swap(other.m_class);
}

bool CRegistryKey::SubkeyIterator::GetSubkeyInfo() {
    if (m_holder == nullptr) return false;
    for (int attempt = 1;; ++attempt) {
        DWORD nameLength = m_name.GetSize();
        DWORD classLength = m_class.GetSize();
        FILETIME lastWrite{};
        const LONG status = RegEnumKeyExA(Handle(), m_index, Chars(m_name), &nameLength, nullptr,
                                          Chars(m_class), &classLength, &lastWrite);
        if (status == ERROR_SUCCESS) return true;
        if (status == ERROR_NO_MORE_ITEMS) return false;
        // A failed read leaves the buffers undefined: show empty texts, not leftovers.
        ClearText(m_name);
        ClearText(m_class);
        if (status != ERROR_MORE_DATA || attempt == kMaxGrowthAttempts) {
            Check(status, kSubkeyInfoLocation);
        }
        DWORD count = 0;
        DWORD longestName = 0;
        DWORD longestClass = 0;
        Check(RegQueryInfoKeyA(Handle(), nullptr, nullptr, nullptr, &count, &longestName, &longestClass,
                               nullptr, nullptr, nullptr, nullptr, nullptr),
              kSubkeyInfoLocation);
        // Emptied since the entry was seen: there is nothing left to read.
        if (count == 0) return false;
        m_name.Resize(GrownSize(m_name.GetSize(), longestName));
        m_class.Resize(GrownSize(m_class.GetSize(), longestClass));
        ClearText(m_name);
        ClearText(m_class);
    }
}

void CRegistryKey::SubkeyIterator::Advance() {
    if (m_holder == nullptr) return;
    if (GetSubkeyInfo()) {
        ++m_index;
    } else {
        MoveToEnd();
    }
}

const char* CRegistryKey::SubkeyIterator::Text(const CExpandableBuffer& buffer) noexcept {
    return buffer.GetSize() == 0 ? "" : reinterpret_cast<const char*>(buffer.GetBuffer());
}

CRegistryKey CRegistryKey::SubkeyIterator::OpenSubkey(REGSAM samDesired) const {
    // At the end there is no key: the open fails with an invalid handle.
    const HKEY parent = m_holder != nullptr ? Handle() : nullptr;
    return CRegistryKey(parent, GetName(), samDesired, nullptr);
}

CRegistryKey::SubkeyListIterator::SubkeyListIterator(CCountedRegKey* holder) : SubkeyIterator(holder) {
    Advance();
}

// --- ValueIterator ---

CRegistryKey::ValueIterator::ValueIterator(CCountedRegKey* holder) : IteratorBase(holder) {
    if (m_holder == nullptr) return;
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    Check(RegQueryInfoKeyA(Handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                           &longestName, &longestData, nullptr, nullptr),
          kValueConstructorLocation);
    // Sized even for an empty key: a null data buffer would turn a read into a size query.
    m_name.Resize(longestName + 1);
    m_data.Resize(longestData + 1);
    ClearText(m_name);
}

bool CRegistryKey::ValueIterator::GetValueInfo() {
    m_displayText.reset();
    if (m_holder == nullptr) return false;
    for (int attempt = 1;; ++attempt) {
        DWORD nameLength = m_name.GetSize();
        DWORD size = m_data.GetSize();
        DWORD type = REG_NONE;
        const LONG status = RegEnumValueA(Handle(), m_index, Chars(m_name), &nameLength, nullptr, &type,
                                          m_data.GetBuffer(), &size);
        if (status == ERROR_SUCCESS) {
            m_type = type;
            m_size = size;
            return true;
        }
        if (status == ERROR_NO_MORE_ITEMS) return false;
        // A failed read leaves the buffers undefined: show an empty entry, not leftovers.
        ClearText(m_name);
        m_type = REG_NONE;
        m_size = 0;
        if (status != ERROR_MORE_DATA || attempt == kMaxGrowthAttempts) {
            Check(status, kValueInfoLocation);
        }
        DWORD count = 0;
        DWORD longestName = 0;
        DWORD longestData = 0;
        Check(RegQueryInfoKeyA(Handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                               &longestName, &longestData, nullptr, nullptr),
              kValueInfoLocation);
        // Emptied since the entry was seen: there is nothing left to read.
        if (count == 0) return false;
        m_name.Resize(GrownSize(m_name.GetSize(), longestName));
        m_data.Resize(GrownSize(m_data.GetSize(), longestData));
        ClearText(m_name);
    }
}

void CRegistryKey::ValueIterator::Advance() {
    if (m_holder == nullptr) return;
    if (GetValueInfo()) {
        ++m_index;
    } else {
        MoveToEnd();
    }
}

const char* CRegistryKey::ValueIterator::GetName() const noexcept {
    return m_name.GetSize() == 0 ? "" : reinterpret_cast<const char*>(m_name.GetBuffer());
}

const char* CRegistryKey::ValueIterator::GetDisplayText() {
    if (!m_displayText) m_displayText = Internal::MakeDisplayText(m_type, m_data.GetBuffer(), m_size);
    return m_displayText.get();
}

CRegistryKey::Value CRegistryKey::ValueIterator::GetValue() const {
    return Value(GetName(), m_data.GetBuffer(), m_size, m_type);
}

CRegistryKey::ValueListIterator::ValueListIterator(CCountedRegKey* holder) : ValueIterator(holder) {
    Advance();
}

// --- CRegistryKey operations built on the iterators ---

CRegistryKey::SubkeyListIterator CRegistryKey::SubkeysBegin() const {
    return SubkeyListIterator(m_holder);
}

CRegistryKey::SubkeyListIterator CRegistryKey::SubkeysEnd() const noexcept {
    return SubkeyListIterator(nullptr);
}

CRegistryKey::ValueListIterator CRegistryKey::ValuesBegin() const {
    return ValueListIterator(m_holder);
}

CRegistryKey::ValueListIterator CRegistryKey::ValuesEnd() const noexcept {
    return ValueListIterator(nullptr);
}

void CRegistryKey::DeleteKey(const char* subKey) const {
    static constexpr char kLocation[] = "CRegistryKey::DeleteKey()";
    {
        const CRegistryKey subkey = OpenSubkey(subKey, KEY_ALL_ACCESS);
        if (subkey.SubkeysBegin() != subkey.SubkeysEnd()) throw Exception(kLocation, ERROR_ACCESS_DENIED);
    }  // closed before the delete
    Check(RegDeleteKeyA(Handle(), subKey), kLocation);
}

// DeleteKeyTree's loop assigns a fresh iterator: it is moved in, with no allocation.
static_assert(std::is_nothrow_move_constructible_v<CRegistryKey::SubkeyListIterator>);

void CRegistryKey::DeleteKeyTree(const char* subKey) const {
    {
        const CRegistryKey subkey = OpenSubkey(subKey, KEY_ALL_ACCESS);
        // Always the entry at index 0: each deletion renumbers the rest.
        for (SubkeyListIterator child = subkey.SubkeysBegin(); child != subkey.SubkeysEnd();
             child = subkey.SubkeysBegin()) {
            subkey.DeleteKeyTree(child.GetName());
        }
    }  // iterator and subkey closed before the delete
    DeleteKey(subKey);
}

}  // namespace BrenlowTools
