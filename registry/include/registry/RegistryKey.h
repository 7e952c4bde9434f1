#pragma once
// One open registry key. Copies share a counted holder of the HKEY, which is closed
// when the last copy or iterator lets go. Every failure raises CRegistryKey::Exception.
#include <windows.h>

#include "registry/CountedHandle.h"
#include "registry/Win32Exception.h"

namespace BrenlowTools {

class CRegistryKey {
public:
    // A failed registry operation: location string and Win32 status.
    class Exception : public CWin32Exception {
    public:
        Exception(const char* location, DWORD errorCode) noexcept : CWin32Exception(location, errorCode) {}
    };

    class Value;               // RegistryValue.h
    class IteratorBase;        // RegistryIterators.h
    class SubkeyIterator;      // RegistryIterators.h
    class SubkeyListIterator;  // RegistryIterators.h
    class ValueIterator;       // RegistryIterators.h
    class ValueListIterator;   // RegistryIterators.h

    // Adopts hKey and closes it when the last copy goes; a null hKey makes the empty
    // key. Raises Exception (8) when the holder cannot be made; hKey is closed then.
    explicit CRegistryKey(HKEY hKey = nullptr);
    // Adopts the result of RegConnectRegistryA(machineName, hKey). Raises Exception
    // "CRegistryKey::CRegistryKey() - RegConnectRegistry"; nothing is held then.
    CRegistryKey(const char* machineName, HKEY hKey);
    // Opens subKey below hKey (on machineName's registry when not null) and adopts the
    // result; hKey itself is neither adopted nor closed. Raises Exception (connect or
    // "CRegistryKey::CRegistryKey(HKEY hKey ...)"); nothing is held then.
    CRegistryKey(HKEY hKey, const char* subKey, REGSAM samDesired = KEY_ALL_ACCESS,
                 const char* machineName = nullptr);
    // Shares the other's holder. Never raises.
    CRegistryKey(const CRegistryKey& other) noexcept;
    // Shares the other's holder and lets go of the own one. Never raises.
    CRegistryKey& operator=(const CRegistryKey& other) noexcept;
    // Adopts hKey in place of the current key; the handle this key already holds
    // changes nothing. Raises Exception (8) when the holder cannot be made; hKey is
    // closed then and this key is left as it was.
    CRegistryKey& operator=(HKEY hKey);
    // Lets go of the holder; the last user closes the key.
    ~CRegistryKey();

    // The held handle; it stays owned by the key.
    operator HKEY() const noexcept { return m_holder->GetHandle(); }

    // Makes a holder with count 1 for hKey. On failure closes hKey when
    // closeOnFailure is true and raises Exception "CRegistryKey::NewCCountedRegKey()" (8).
    static CCountedRegKey* NewCCountedRegKey(HKEY hKey, bool closeOnFailure);

    // --- Keys ---

    // Opens subKey below this key as a new, independent key. Raises Exception.
    CRegistryKey OpenSubkey(const char* subKey, REGSAM samDesired = KEY_ALL_ACCESS) const;
    // Creates subKey or opens it when it exists; reports which through disposition
    // (REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY) when not null. Raises Exception.
    CRegistryKey CreateOrOpenKey(const char* subKey, DWORD* disposition = nullptr,
                                 const char* className = nullptr, DWORD options = REG_OPTION_NON_VOLATILE,
                                 REGSAM samDesired = KEY_ALL_ACCESS,
                                 LPSECURITY_ATTRIBUTES securityAttributes = nullptr) const;
    // Creates subKey, which must not exist yet. Raises Exception; 183 when it existed,
    // which leaves the existing key as it was.
    CRegistryKey CreateKey(const char* subKey, const char* className = nullptr,
                           DWORD options = REG_OPTION_NON_VOLATILE, REGSAM samDesired = KEY_ALL_ACCESS,
                           LPSECURITY_ATTRIBUTES securityAttributes = nullptr) const;
    // True when subKey can be opened with samDesired. Never raises.
    bool CanOpenSubkey(const char* subKey, REGSAM samDesired = KEY_READ) const noexcept;
    // Connects to machineName's registry at this predefined key. Raises Exception.
    CRegistryKey ConnectRegistry(const char* machineName) const;
    // Writes the key to disk. Raises Exception.
    void FlushKey() const;
    // Deletes one value (null or "" is the default value). Raises Exception.
    void DeleteValue(const char* valueName) const;
    // Deletes subKey, which must have no subkeys. Raises Exception: 5 when it has some
    // (nothing is deleted), the open's status when it cannot be opened.
    void DeleteKey(const char* subKey) const;
    // Deletes subKey and everything below it, depth first. Raises Exception; what was
    // deleted before the failure stays deleted.
    void DeleteKeyTree(const char* subKey) const;
    // Loads a hive file as subKey. Raises Exception.
    void LoadKey(const char* subKey, const char* fileName) const;
    // Unloads the hive loaded as subKey. Raises Exception.
    void UnLoadKey(const char* subKey) const;
    // Saves this key and its subtree to fileName. Raises Exception.
    void SaveKey(const char* fileName, LPSECURITY_ATTRIBUTES securityAttributes = nullptr) const;
    // Replaces this key's subtree from a file made by SaveKey. Raises Exception.
    void RestoreKey(const char* fileName, DWORD flags = 0) const;
    // Replaces the hive file behind subKey at the next start. Note the order: subKey
    // comes last here. Raises Exception.
    void ReplaceKey(const char* newFile, const char* oldFile, const char* subKey) const;
    // The key's security descriptor for the given parts; the caller frees it with
    // ::operator delete. Raises Exception (nothing is allocated then) or std::bad_alloc.
    PSECURITY_DESCRIPTOR GetKeySecurity(SECURITY_INFORMATION securityInformation) const;
    // Sets the given parts of the key's security descriptor. Raises Exception.
    void SetKeySecurity(SECURITY_INFORMATION securityInformation,
                        PSECURITY_DESCRIPTOR securityDescriptor) const;
    // Asks Windows to signal event on the next change; returns at once. Raises Exception.
    void RegNotifyChangeKeyValue(HANDLE event, bool watchSubtree, DWORD notifyFilter) const;
    // Blocks until the key changes. Raises Exception.
    void RegNotifyChangeKeyValue(bool watchSubtree, DWORD notifyFilter) const;

    // --- Values (RegistryValue.h) ---
    // Typed reads return false, allocate nothing and leave *out alone when the stored
    // type does not suit the form; a missing value raises Exception (2).

    // Reads a REG_BINARY or REG_NONE value into a malloc block (free it with free).
    // Raises Exception; nothing is allocated then.
    bool QueryValue(const char* valueName, BYTE** out) const;
    // Reads a REG_SZ or REG_EXPAND_SZ value into a malloc block (free it with free):
    // the stored bytes followed by one zero, so the text is always terminated.
    // Raises Exception; nothing is allocated then.
    bool QueryValue(const char* valueName, char** out) const;
    // Reads a REG_DWORD or REG_DWORD_BIG_ENDIAN value in memory order. Raises
    // Exception: the read's status, or ERROR_INVALID_DATA when it is not 4 bytes long.
    bool QueryValue(const char* valueName, DWORD* out) const;
    // Reads a value of any type. Raises Exception.
    Value QueryValue(const char* valueName) const;
    // Writes size bytes as REG_BINARY. Raises Exception.
    void SetValue(const char* valueName, const BYTE* data, DWORD size) const;
    // Writes text and its terminating zero as REG_SZ or REG_EXPAND_SZ. Raises
    // Exception: 1004 for another type, 87 for null text; nothing is written then.
    void SetValue(const char* valueName, const char* text, DWORD type) const;
    // Writes the number's 4 bytes in memory order as REG_DWORD or REG_DWORD_BIG_ENDIAN.
    // Raises Exception: 1004 for another type (nothing is written then).
    // (Pass the number as a DWORD: a literal 0 would also match the pointer forms.)
    void SetValue(const char* valueName, DWORD number, DWORD type) const;
    // Writes the value's name, type and bytes. Raises Exception.
    void SetValue(const Value& value) const;

    // --- Iterators (RegistryIterators.h) ---

    // An iterator on the first subkey, or equal to SubkeysEnd. Raises Exception.
    SubkeyListIterator SubkeysBegin() const;
    // The end of any subkey enumeration; makes no registry call. Never raises.
    SubkeyListIterator SubkeysEnd() const noexcept;
    // An iterator on the first value, or equal to ValuesEnd. Raises Exception.
    ValueListIterator ValuesBegin() const;
    // The end of any value enumeration; makes no registry call. Never raises.
    ValueListIterator ValuesEnd() const noexcept;

private:
    HKEY Handle() const noexcept { return m_holder->GetHandle(); }

    CCountedRegKey* m_holder;
};

}  // namespace BrenlowTools
