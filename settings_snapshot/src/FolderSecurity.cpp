#include "settings_snapshot/FolderSecurity.h"

#include <sddl.h>

#include <utility>

namespace SettingsSnapshot {

const wchar_t kProtectedFolderSddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

namespace {

using LocalMemory = WinBase::UniqueLocalMemory;

std::vector<BYTE> SidBytes(PSID sid) {
    const BYTE* bytes = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

std::vector<BYTE> WellKnown(WELL_KNOWN_SID_TYPE type) {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    if (!CreateWellKnownSid(type, nullptr, sid, &size)) return {};
    return SidBytes(sid);
}

// The SID of one token information class that starts with a SID pointer
// (TOKEN_OWNER, TOKEN_USER); empty when it cannot be read.
std::vector<BYTE> TokenSid(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    // A SID pointer followed by the SID: the first buffer fits, so one query reads it.
    std::vector<BYTE> buffer(sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE);
    DWORD size = 0;
    if (!GetTokenInformation(token, kind, buffer.data(), static_cast<DWORD>(buffer.size()), &size)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size()) return {};
        buffer.resize(size);
        if (!GetTokenInformation(token, kind, buffer.data(), size, &size)) return {};
    }
    const PSID sid = *reinterpret_cast<PSID*>(buffer.data());
    return sid != nullptr && IsValidSid(sid) ? SidBytes(sid) : std::vector<BYTE>();
}

// Attributes and link count of an open file or folder. Two small queries, not
// GetFileInformationByHandle: that one also reads the volume's serial number, which costs
// more than the rest of a check together (under Wine, four times as much).
struct HandleFacts {
    DWORD attributes = 0;
    DWORD links = 0;
};

std::optional<HandleFacts> QueryFacts(HANDLE handle) {
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard))
        return std::nullopt;
    return HandleFacts{basic.FileAttributes, standard.NumberOfLinks};
}

// Room for a self-relative descriptor holding only an owner SID.
constexpr size_t kOwnerDescriptorBytes = sizeof(SECURITY_DESCRIPTOR_RELATIVE) + SECURITY_MAX_SID_SIZE;

Failure FolderFault(const std::wstring& path, const wchar_t* reason, DWORD error = ERROR_SUCCESS) {
    return Failure{path, reason, error};
}

// Rights that change a folder or file, or what it holds, or who may: write, append,
// add files and folders, delete children or itself, extended attributes and
// attributes, permissions, owner, and the generic rights that include them.
constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
                                      FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER |
                                      GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED;

const wchar_t kFolderDaclFault[] =
    L"others than SYSTEM and Administrators may change the folder; nothing was changed";

// The path without the "\\?\" or "\\?\UNC\" prefix and without a trailing backslash.
std::wstring PlainPath(const std::wstring& path) {
    std::wstring plain = path;
    if (plain.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        plain = L"\\\\" + plain.substr(8);
    else if (plain.compare(0, 4, L"\\\\?\\") == 0)
        plain = plain.substr(4);
    while (plain.size() > 1 && plain.back() == L'\\') plain.pop_back();
    return plain;
}

// The full path of a name (relative parts resolved, short names made long when they
// can be); the name itself when it cannot be resolved.
std::wstring FullPath(const std::wstring& path) {
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    }
    if (length == 0 || length >= buffer.size()) return path;
    const std::wstring full(buffer.data(), length);
    // Only a short (8.3) name has a tilde; making names long reads every folder on the
    // way, a large part of each file's check under Wine.
    if (full.find(L'~') == std::wstring::npos) return full;
    std::vector<wchar_t> longer(full.size() + MAX_PATH);
    const DWORD longLength = GetLongPathNameW(full.c_str(), longer.data(), static_cast<DWORD>(longer.size()));
    return longLength != 0 && longLength < longer.size() ? std::wstring(longer.data(), longLength) : full;
}

// The final path of an open handle with its drive letter; empty when it cannot be read.
std::wstring FinalPath(HANDLE handle) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(
            handle, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

// The descriptor (owner and DACL) of an open file or folder; empty when it cannot be read.
std::vector<BYTE> OwnerAndDacl(HANDLE handle) {
    std::vector<BYTE> descriptor(512);
    for (;;) {
        DWORD needed = 0;
        if (GetKernelObjectSecurity(handle, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                    descriptor.data(), static_cast<DWORD>(descriptor.size()), &needed))
            return descriptor;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= descriptor.size()) return {};
        descriptor.resize(needed);
    }
}

// Opens the folder itself (a link is opened, not followed) with the access given.
OwnedHandle OpenFolder(const std::wstring& path, DWORD access) {
    const HANDLE raw =
        CreateFileW(path.c_str(), access | READ_CONTROL | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return OwnedHandle(raw);
}

// Whether the folder's DACL may be repaired: every check but the DACL's passes.
enum class FolderVerdict { Trusted, DaclOnly, Refused };

struct FolderCheck {
    FolderVerdict verdict = FolderVerdict::Refused;
    std::optional<Failure> failure;
};

// The checks of CheckTrustedFolder over an open folder.
FolderCheck CheckOpenFolder(HANDLE folder, const std::wstring& path, const TrustedOwners& owners) {
    const std::optional<HandleFacts> facts = QueryFacts(folder);
    if (!facts)
        return {FolderVerdict::Refused,
                FolderFault(path, L"cannot read the folder's attributes", GetLastError())};
    if ((facts->attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return {FolderVerdict::Refused,
                FolderFault(path, L"the folder is a link or junction; nothing was changed")};
    if ((facts->attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return {FolderVerdict::Refused, FolderFault(path, L"not a folder", ERROR_DIRECTORY)};
    if (std::optional<Failure> failure = CheckFinalPath(folder, path))
        return {FolderVerdict::Refused, failure};
    std::vector<BYTE> descriptor = OwnerAndDacl(folder);
    if (descriptor.empty())
        return {FolderVerdict::Refused,
                FolderFault(path, L"cannot read the folder's security", GetLastError())};
    if (!owners.TrustsDescriptor(descriptor.data()))
        return {
            FolderVerdict::Refused,
            FolderFault(path, L"the folder is not owned by SYSTEM or Administrators; nothing was changed")};
    if (!owners.AloneMayChange(descriptor.data()))
        return {FolderVerdict::DaclOnly, FolderFault(path, kFolderDaclFault)};
    return {FolderVerdict::Trusted, std::nullopt};
}

// Gives the open folder kProtectedFolderSddl's DACL, protected from inheritance.
bool ProtectDacl(HANDLE folder) {
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kProtectedFolderSddl, SDDL_REVISION_1, &raw,
                                                              nullptr))
        return false;
    const LocalMemory descriptor(raw);
    return SetKernelObjectSecurity(folder, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                   raw) != FALSE;
}

}  // namespace

TrustedOwners::TrustedOwners(const std::vector<std::wstring>& extraSids)
    : m_sids{WellKnown(WinLocalSystemSid), WellKnown(WinBuiltinAdministratorsSid)} {
    for (const std::wstring& text : extraSids) {
        PSID sid = nullptr;
        if (!ConvertStringSidToSidW(text.c_str(), &sid)) continue;
        const LocalMemory owner(sid);
        m_sids.push_back(SidBytes(sid));
    }
}

TrustedOwners TrustedOwners::ForThisProcess() {
    TrustedOwners owners;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return owners;
    const WinBase::UniqueKernelHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) ||
        elevation.TokenIsElevated == 0)
        return owners;
    for (const TOKEN_INFORMATION_CLASS kind : {TokenOwner, TokenUser}) {
        std::vector<BYTE> sid = TokenSid(token.get(), kind);
        if (!sid.empty()) owners.m_sids.push_back(std::move(sid));
    }
    return owners;
}

bool TrustedOwners::Trusts(PSID owner) const {
    if (owner == nullptr || !IsValidSid(owner)) return false;
    for (const std::vector<BYTE>& sid : m_sids)
        if (!sid.empty() && EqualSid(owner, const_cast<BYTE*>(sid.data()))) return true;
    return false;
}

bool TrustedOwners::TrustsDescriptor(PSECURITY_DESCRIPTOR descriptor) const {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    return descriptor != nullptr && GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) &&
           Trusts(owner);
}

bool TrustedOwners::AloneMayChange(PSECURITY_DESCRIPTOR descriptor) const {
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (descriptor == nullptr || !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) ||
        !present || dacl == nullptr)
        return false;  // no DACL: everyone may do everything
    ACL_SIZE_INFORMATION size{};
    if (!GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) return false;
    // CREATOR OWNER is replaced by whoever creates a file inside, who must be trusted
    // to create it at all; no token holds it otherwise.
    const std::vector<BYTE> creatorOwner = WellKnown(WinCreatorOwnerSid);
    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry)) return false;
        const BYTE type = static_cast<const ACE_HEADER*>(entry)->AceType;
        if (type == ACCESS_DENIED_ACE_TYPE || type == ACCESS_DENIED_CALLBACK_ACE_TYPE ||
            type == ACCESS_DENIED_OBJECT_ACE_TYPE || type == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE)
            continue;  // denying never lets anyone change anything
        if (type != ACCESS_ALLOWED_ACE_TYPE && type != ACCESS_ALLOWED_CALLBACK_ACE_TYPE) return false;
        // Both kinds share ACCESS_ALLOWED_ACE's layout: header, mask, SID.
        const ACCESS_ALLOWED_ACE* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        if ((allowed->Mask & kChangeRights) == 0) continue;
        const PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        if (!creatorOwner.empty() && IsValidSid(sid) && EqualSid(sid, const_cast<BYTE*>(creatorOwner.data())))
            continue;
        if (!Trusts(sid)) return false;
    }
    return true;
}

bool SameFinalPath(const std::wstring& finalPath, const std::wstring& expected) {
    const std::wstring a = PlainPath(finalPath);
    const std::wstring b = PlainPath(expected);
    return !a.empty() && a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

std::optional<Failure> CheckFinalPath(HANDLE handle, const std::wstring& path) {
    const std::wstring finalPath = FinalPath(handle);
    if (finalPath.empty()) return Failure{path, L"cannot read where the path leads", GetLastError()};
    if (!SameFinalPath(finalPath, FullPath(path)))
        return Failure{path,
                       L"the path leads through a link to " + PlainPath(finalPath) + L"; it is not used",
                       ERROR_CANT_ACCESS_FILE};
    return std::nullopt;
}

bool HasTrustedOwner(HANDLE file, const TrustedOwners& owners) {
    // An owner-only descriptor fits the first buffer, so one query usually does.
    std::vector<BYTE> descriptor(kOwnerDescriptorBytes);
    for (;;) {
        DWORD needed = 0;
        if (GetKernelObjectSecurity(file, OWNER_SECURITY_INFORMATION, descriptor.data(),
                                    static_cast<DWORD>(descriptor.size()), &needed))
            return owners.TrustsDescriptor(descriptor.data());
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= descriptor.size()) return false;
        descriptor.resize(needed);
    }
}

std::optional<Failure> CheckTrustedFolder(const std::wstring& path, const TrustedOwners& owners) {
    const OwnedHandle folder = OpenFolder(path, 0);
    if (!folder) return FolderFault(path, L"cannot open the folder", GetLastError());
    return CheckOpenFolder(folder.get(), path, owners).failure;
}

std::optional<Failure> EnsureProtectedFolder(const std::wstring& path, const TrustedOwners& owners) {
    // Checked first: a folder already there is the common case and needs nothing built.
    if (OwnedHandle folder = OpenFolder(path, WRITE_DAC)) {
        const FolderCheck check = CheckOpenFolder(folder.get(), path, owners);
        if (check.verdict != FolderVerdict::DaclOnly) return check.failure;
        // Ours by owner, but others may change it: repaired through the handle checked,
        // then checked anew.
        if (!ProtectDacl(folder.get())) return FolderFault(path, kFolderDaclFault, GetLastError());
        return CheckOpenFolder(folder.get(), path, owners).failure;
    }
    const DWORD openError = GetLastError();
    if (openError != ERROR_FILE_NOT_FOUND) {
        // Not ours to repair (no right to change its permissions): checked as it is.
        if (openError == ERROR_ACCESS_DENIED) return CheckTrustedFolder(path, owners);
        return FolderFault(path, L"cannot open the folder", openError);
    }
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kProtectedFolderSddl, SDDL_REVISION_1, &raw,
                                                              nullptr))
        return FolderFault(path, L"cannot build the folder's security", GetLastError());
    const LocalMemory descriptor(raw);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, raw, FALSE};
    if (!CreateDirectoryW(path.c_str(), &attributes) && GetLastError() != ERROR_ALREADY_EXISTS)
        return FolderFault(path, L"cannot create the folder", GetLastError());
    return CheckTrustedFolder(path, owners);
}

Outcome<OwnedHandle> OpenPlainFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    const HANDLE raw = CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, share, nullptr, disposition,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return Failure{path, L"cannot open the file", GetLastError()};
    const bool created =
        (disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) &&
        GetLastError() != ERROR_ALREADY_EXISTS;
    OwnedHandle file(raw);
    const std::optional<HandleFacts> facts = QueryFacts(file.get());
    if (!facts) {
        const DWORD error = GetLastError();
        file.reset();
        if (created) DeleteFileW(path.c_str());
        return Failure{path, L"cannot read the file's attributes", error};
    }
    if ((facts->attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        facts->links > 1)
        return Failure{path, L"not a plain file (a link, junction or folder); it is not used",
                       ERROR_CANT_ACCESS_FILE};
    if (std::optional<Failure> failure = CheckFinalPath(file.get(), path)) {
        // A file this call created through the link goes again.
        file.reset();
        if (created) DeleteFileW(path.c_str());
        return *failure;
    }
    return Outcome<OwnedHandle>(std::move(file));
}

}  // namespace SettingsSnapshot
