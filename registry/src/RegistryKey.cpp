#include "registry/RegistryKey.h"

#include "registry/ExpandableBuffer.h"
#include "RegistryStatus.h"
#include "win_base/UniqueHandle.h"

namespace BrenlowTools {

using Internal::Check;
// A key handle that no CRegistryKey owns, closed when the scope ends.
using ScopedRawKey = WinBase::UniqueKey;

namespace {
constexpr char kConnectLocation[] = "CRegistryKey::CRegistryKey() - RegConnectRegistry";
constexpr char kOpenLocation[] = "CRegistryKey::CRegistryKey(HKEY hKey ...)";
}  // namespace

CCountedRegKey* CRegistryKey::NewCCountedRegKey(HKEY hKey, bool closeOnFailure) {
    CCountedRegKey* holder = nullptr;
    try {
        holder = new CCountedRegKey(hKey);
    } catch (...) {
        holder = nullptr;
    }
    if (holder == nullptr) {
        if (closeOnFailure) RegCloseKey(hKey);
        throw Exception("CRegistryKey::NewCCountedRegKey()", ERROR_NOT_ENOUGH_MEMORY);
    }
    return holder;
}

CRegistryKey::CRegistryKey(HKEY hKey) : m_holder(NewCCountedRegKey(hKey, true)) {}

CRegistryKey::CRegistryKey(const char* machineName, HKEY hKey) : m_holder(nullptr) {
    HKEY connected = nullptr;
    Check(RegConnectRegistryA(machineName, hKey, &connected), kConnectLocation);
    m_holder = NewCCountedRegKey(connected, true);
}

CRegistryKey::CRegistryKey(HKEY hKey, const char* subKey, REGSAM samDesired, const char* machineName)
    : m_holder(nullptr) {
    // The remote root only serves the open; the new key does not keep it.
    ScopedRawKey remoteRoot;
    HKEY parent = hKey;
    if (machineName != nullptr) {
        Check(RegConnectRegistryA(machineName, hKey, remoteRoot.put()), kConnectLocation);
        parent = remoteRoot.get();
    }
    HKEY opened = nullptr;
    Check(RegOpenKeyExA(parent, subKey, 0, samDesired, &opened), kOpenLocation);
    m_holder = NewCCountedRegKey(opened, true);
}

CRegistryKey::CRegistryKey(const CRegistryKey& other) noexcept : m_holder(other.m_holder->AddRef()) {}

CRegistryKey& CRegistryKey::operator=(const CRegistryKey& other) noexcept {
    if (this != &other) {
        CCountedRegKey* const shared = other.m_holder->AddRef();
        m_holder->Release();
        m_holder = shared;
    }
    return *this;
}

CRegistryKey& CRegistryKey::operator=(HKEY hKey) {
    // The handle already held: a second holder for it would close it under this key.
    if (hKey == Handle()) return *this;
    CCountedRegKey* const adopted = NewCCountedRegKey(hKey, true);
    m_holder->Release();
    m_holder = adopted;
    return *this;
}

CRegistryKey::~CRegistryKey() {
    m_holder = m_holder->Release();
}

CRegistryKey CRegistryKey::OpenSubkey(const char* subKey, REGSAM samDesired) const {
    return CRegistryKey(Handle(), subKey, samDesired, nullptr);
}

CRegistryKey CRegistryKey::CreateOrOpenKey(const char* subKey, DWORD* disposition, const char* className,
                                           DWORD options, REGSAM samDesired,
                                           LPSECURITY_ATTRIBUTES securityAttributes) const {
    DWORD localDisposition = 0;
    HKEY created = nullptr;
    // RegCreateKeyExA only reads the class string despite its non-const parameter.
    Check(RegCreateKeyExA(Handle(), subKey, 0, const_cast<char*>(className), options, samDesired,
                          securityAttributes, &created,
                          disposition != nullptr ? disposition : &localDisposition),
          "CRegistryKey::CreateOrOpenKey()");
    return CRegistryKey(created);
}

CRegistryKey CRegistryKey::CreateKey(const char* subKey, const char* className, DWORD options,
                                     REGSAM samDesired, LPSECURITY_ATTRIBUTES securityAttributes) const {
    DWORD disposition = 0;
    CRegistryKey key =
        CreateOrOpenKey(subKey, &disposition, className, options, samDesired, securityAttributes);
    // An existing key was only opened: it is closed with `key` and left as it was.
    if (disposition != REG_CREATED_NEW_KEY)
        throw Exception("CRegistryKey::CreateKey()", ERROR_ALREADY_EXISTS);
    return key;
}

bool CRegistryKey::CanOpenSubkey(const char* subKey, REGSAM samDesired) const noexcept {
    ScopedRawKey opened;
    return RegOpenKeyExA(Handle(), subKey, 0, samDesired, opened.put()) == ERROR_SUCCESS;
}

CRegistryKey CRegistryKey::ConnectRegistry(const char* machineName) const {
    HKEY connected = nullptr;
    Check(RegConnectRegistryA(machineName, Handle(), &connected), "CRegistryKey::ConnectRegistry()");
    return CRegistryKey(connected);
}

void CRegistryKey::FlushKey() const {
    Check(RegFlushKey(Handle()), "CRegistryKey::FlushKey()");
}

void CRegistryKey::DeleteValue(const char* valueName) const {
    Check(RegDeleteValueA(Handle(), valueName), "CRegistryKey::DeleteValue()");
}

void CRegistryKey::LoadKey(const char* subKey, const char* fileName) const {
    Check(RegLoadKeyA(Handle(), subKey, fileName), "CRegistryKey::LoadKey()");
}

void CRegistryKey::UnLoadKey(const char* subKey) const {
    Check(RegUnLoadKeyA(Handle(), subKey), "CRegistryKey::UnLoadKey()");
}

void CRegistryKey::SaveKey(const char* fileName, LPSECURITY_ATTRIBUTES securityAttributes) const {
    Check(RegSaveKeyA(Handle(), fileName, securityAttributes), "CRegistryKey::SaveKey()");
}

void CRegistryKey::RestoreKey(const char* fileName, DWORD flags) const {
    Check(RegRestoreKeyA(Handle(), fileName, flags), "CRegistryKey::RestoreKey()");
}

void CRegistryKey::ReplaceKey(const char* newFile, const char* oldFile, const char* subKey) const {
    Check(RegReplaceKeyA(Handle(), subKey, newFile, oldFile), "CRegistryKey::ReplaceKey()");
}

PSECURITY_DESCRIPTOR CRegistryKey::GetKeySecurity(SECURITY_INFORMATION securityInformation) const {
    static constexpr char kLocation[] = "CRegistryKey::GetKeySecurity()";
    CExpandableBuffer descriptor;
    DWORD size = 0;
    LONG status = RegGetKeySecurity(Handle(), securityInformation, nullptr, &size);
    if (status == ERROR_INSUFFICIENT_BUFFER) {
        descriptor.Resize(size);
        status = RegGetKeySecurity(Handle(), securityInformation, descriptor.GetBuffer(), &size);
    }
    Check(status, kLocation);
    return descriptor.Detach();
}

void CRegistryKey::SetKeySecurity(SECURITY_INFORMATION securityInformation,
                                  PSECURITY_DESCRIPTOR securityDescriptor) const {
    Check(RegSetKeySecurity(Handle(), securityInformation, securityDescriptor),
          "CRegistryKey::SetKeySecurity()");
}

void CRegistryKey::RegNotifyChangeKeyValue(HANDLE event, bool watchSubtree, DWORD notifyFilter) const {
    Check(::RegNotifyChangeKeyValue(Handle(), watchSubtree ? TRUE : FALSE, notifyFilter, event, TRUE),
          "CRegistryKey::RegNotifyChangeKeyValue()");
}

void CRegistryKey::RegNotifyChangeKeyValue(bool watchSubtree, DWORD notifyFilter) const {
    Check(::RegNotifyChangeKeyValue(Handle(), watchSubtree ? TRUE : FALSE, notifyFilter, nullptr, FALSE),
          "CRegistryKey::RegNotifyChangeKeyValue()");
}

}  // namespace BrenlowTools
