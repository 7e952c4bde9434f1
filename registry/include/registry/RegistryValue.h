#pragma once
// CRegistryKey::Value: an owned copy of one named, typed registry value.
#include <windows.h>

#include <memory>

#include "registry/RegistryKey.h"

namespace BrenlowTools {

class CRegistryKey::Value {
public:
    // A value constructor given an unsuitable type, or a conversion to a type that
    // does not suit the value: location "CRegistryKey::Value::Exception", code 87.
    class Exception : public CRegistryKey::Exception {
    public:
        Exception() noexcept
            : CRegistryKey::Exception("CRegistryKey::Value::Exception", ERROR_INVALID_PARAMETER) {}
    };

    // Copies the name (null is the default value's "") and size bytes of any type.
    // Raises Value::Exception for null data with a non-zero size, or std::bad_alloc.
    Value(const char* name, const BYTE* data, DWORD size, DWORD type);
    // Copies the name and text with its terminating zero. Raises Value::Exception
    // unless type is REG_SZ or REG_EXPAND_SZ and text is not null.
    Value(const char* name, const char* text, DWORD type);
    // Copies the name; data is the number's 4 bytes in memory order. Raises
    // Value::Exception unless type is REG_DWORD or REG_DWORD_BIG_ENDIAN.
    Value(const char* name, DWORD number, DWORD type);
    // Deep copy of name, type and bytes; the display text is made anew when asked for.
    Value(const Value& other);
    // Deep copy; drops the old display text. Raises std::bad_alloc, leaving this
    // value as it was.
    Value& operator=(const Value& other);
    ~Value() = default;

    const char* GetName() const noexcept { return m_name.get(); }
    DWORD GetType() const noexcept { return m_type; }
    DWORD GetSize() const noexcept { return m_size; }
    // The bytes whatever the type (followed by one zero that is not counted in size).
    const BYTE* GetData() const noexcept { return m_data.get(); }

    // The bytes of a REG_BINARY or REG_NONE value. Raises Value::Exception otherwise.
    operator const BYTE*() const;
    // The text of a REG_SZ or REG_EXPAND_SZ value, always terminated. Raises
    // Value::Exception otherwise.
    operator const char*() const;
    // The first 4 bytes of a REG_DWORD or REG_DWORD_BIG_ENDIAN value, memory order.
    // Raises Value::Exception otherwise, or when the value is shorter than 4 bytes.
    operator DWORD() const;

    // The value as text: the text (first string of a list), "A number", or the bytes
    // in hexadecimal. Made on the first call and kept until assignment or
    // destruction. Raises std::bad_alloc.
    const char* GetDisplayText() const;

private:
    // Copies name and bytes into fresh blocks (a zero follows the bytes).
    void Assign(const char* name, const BYTE* data, DWORD size, DWORD type);

    std::unique_ptr<char[]> m_name;
    DWORD m_type = REG_NONE;
    std::unique_ptr<BYTE[]> m_data;
    DWORD m_size = 0;
    mutable std::unique_ptr<char[]> m_displayText;
};

}  // namespace BrenlowTools
