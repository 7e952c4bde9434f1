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
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token, kind, buffer.data(), size, &size)) return {};
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
    const HANDLE raw =
        CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return FolderFault(path, L"cannot open the folder", GetLastError());
    const WinBase::UniqueFile folder(raw);
    const std::optional<HandleFacts> facts = QueryFacts(folder.get());
    if (!facts) return FolderFault(path, L"cannot read the folder's attributes", GetLastError());
    if ((facts->attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return FolderFault(path, L"the folder is a link or junction; nothing was changed");
    if ((facts->attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return FolderFault(path, L"not a folder", ERROR_DIRECTORY);
    if (!HasTrustedOwner(folder.get(), owners))
        return FolderFault(path, L"the folder is not owned by SYSTEM or Administrators; nothing was changed");
    return std::nullopt;
}

std::optional<Failure> EnsureProtectedFolder(const std::wstring& path, const TrustedOwners& owners) {
    // Checked first: a folder already there is the common case and needs nothing built.
    std::optional<Failure> existing = CheckTrustedFolder(path, owners);
    if (!existing || existing->error != ERROR_FILE_NOT_FOUND) return existing;
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
    return Outcome<OwnedHandle>(std::move(file));
}

}  // namespace SettingsSnapshot
