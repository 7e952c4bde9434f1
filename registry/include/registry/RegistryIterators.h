#pragma once
// Subkey and value iterators of CRegistryKey. Each positioned iterator keeps the key
// open through its counted holder and lets go of it when it runs off the end. Name
// and data buffers are sized once from the key's maxima and grow only when an entry
// does not fit.
#include <windows.h>

#include <memory>

#include "registry/ExpandableBuffer.h"
#include "registry/RegistryKey.h"
#include "registry/RegistryValue.h"

namespace BrenlowTools {

// Holder and position shared by both iterator kinds. At the end the holder is null
// and the index 0, so every finished iterator equals the end iterator of any key.
class CRegistryKey::IteratorBase {
public:
    // Takes a reference on holder (null for an end iterator); index 0. Never raises.
    explicit IteratorBase(CCountedRegKey* holder) noexcept;
    // Same holder with one more reference, same index. Never raises.
    IteratorBase(const IteratorBase& other) noexcept;
    // Takes the other's holder and index; the other is left at the end. Never raises.
    IteratorBase(IteratorBase&& other) noexcept;
    // Takes the other's holder and index, releasing the own holder. Never raises.
    IteratorBase& operator=(const IteratorBase& other) noexcept;
    virtual ~IteratorBase();

    // Equal when holder and index are equal. Never raise.
    bool operator==(const IteratorBase& other) const noexcept {
        return m_holder == other.m_holder && m_index == other.m_index;
    }
    bool operator!=(const IteratorBase& other) const noexcept { return !(*this == other); }

protected:
    HKEY Handle() const noexcept { return m_holder->GetHandle(); }
    // Exchanges holder and index with other. Never raises.
    void SwapPosition(IteratorBase& other) noexcept;
    // Moves to the end: releases the holder (the key may close) and resets the index.
    void MoveToEnd() noexcept;

    CCountedRegKey* m_holder;
    DWORD m_index = 0;
};

class CRegistryKey::SubkeyIterator : public IteratorBase {
public:
    // Sizes the buffers from the key's longest subkey name and class (no entry read).
    // Raises Exception "CRegistryKey::SubkeyIterator::SubkeyIterator()"; the holder
    // reference is released then.
    explicit SubkeyIterator(CCountedRegKey* holder);
    // Same position and a copy of the other's buffers. Raises std::bad_alloc.
    SubkeyIterator(const SubkeyIterator& other) = default;
    // Takes the other's position and buffers; the other is left at the end. Never raises.
    SubkeyIterator(SubkeyIterator&& other) noexcept = default;
    // Takes the other's position and buffers (copy-and-swap: copying an lvalue raises
    // std::bad_alloc before anything changes, so a failure leaves this iterator as it was).
    SubkeyIterator& operator=(SubkeyIterator other);
    // Exchanges position and buffers with other. Never raises.
    void Swap(SubkeyIterator& other) noexcept;

    // Reads the subkey at the current index into the buffers, growing them when it
    // does not fit; false at the end of the subkeys, when the key was emptied while
    // growing, and at the end position. Raises Exception
    // "CRegistryKey::SubkeyIterator::GetSubkeyInfo()"; the name and class are empty then.
    bool GetSubkeyInfo();
    // Steps to the next subkey, or to the end (releasing the key). Raises as
    // GetSubkeyInfo; the iterator then stays where it was.
    void Advance();
    // The current subkey's name. Valid until the next step.
    const char* GetName() const noexcept { return Text(m_name); }
    // The current subkey's class string. Valid until the next step. (<windows.h>
    // renames GetClassName to GetClassNameA, here and at every caller alike.)
    const char* GetClassName() const noexcept { return Text(m_class); }
    // Opens the current subkey as a new key. Raises Exception.
    CRegistryKey OpenSubkey(REGSAM samDesired = KEY_ALL_ACCESS) const;

private:
    static const char* Text(const CExpandableBuffer& buffer) noexcept;

    CExpandableBuffer m_name;
    CExpandableBuffer m_class;
};

// The iterator that SubkeysBegin hands out: positioned on the first subkey at once.
class CRegistryKey::SubkeyListIterator : public SubkeyIterator {
public:
    // Builds the iterator and takes the first step. Raises Exception.
    explicit SubkeyListIterator(CCountedRegKey* holder);
};

class CRegistryKey::ValueIterator : public IteratorBase {
public:
    // Sizes the buffers from the key's longest value name and data (no entry read).
    // Raises Exception "CRegistryKey::ValueIterator::ValueIterator()"; the holder
    // reference is released then.
    explicit ValueIterator(CCountedRegKey* holder);
    // Not copyable: the iterator owns the current display text.
    ValueIterator(const ValueIterator&) = delete;
    ValueIterator& operator=(const ValueIterator&) = delete;

    // Drops the display text, then reads the value at the current index into the
    // buffers, growing them when it does not fit; false at the end of the values, when
    // the key was emptied while growing, and at the end position. Raises Exception
    // "CRegistryKey::ValueIterator::GetValueInfo()"; the entry is empty then.
    bool GetValueInfo();
    // Steps to the next value, or to the end (releasing the key). Raises as
    // GetValueInfo; the iterator then stays at its index.
    void Advance();
    // The current value's name. Valid until the next step.
    const char* GetName() const noexcept;
    DWORD GetType() const noexcept { return m_type; }
    DWORD GetSize() const noexcept { return m_size; }
    // The current value as text (as Value::GetDisplayText), made on the first call
    // after each step. Valid until the next step. Raises std::bad_alloc.
    const char* GetDisplayText();
    // A copy of the current value. Raises std::bad_alloc.
    Value GetValue() const;

private:
    CExpandableBuffer m_name;
    CExpandableBuffer m_data;
    DWORD m_type = REG_NONE;
    DWORD m_size = 0;
    std::unique_ptr<char[]> m_displayText;
};

// The iterator that ValuesBegin hands out: positioned on the first value at once.
class CRegistryKey::ValueListIterator : public ValueIterator {
public:
    // Builds the iterator and takes the first step. Raises Exception.
    explicit ValueListIterator(CCountedRegKey* holder);
};

}  // namespace BrenlowTools
