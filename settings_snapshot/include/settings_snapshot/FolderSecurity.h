// Who may have written the programs' data folder and the files in it: the folder's
// protected security, the trusted owners, and opening files without following links.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "settings_snapshot/Failure.h"
#include "win_base/UniqueHandle.h"

namespace SettingsSnapshot {

// The data folders' security as SDDL: SYSTEM and Administrators full control, Users
// read and traverse, inherited by files and subfolders; nothing inherited from above.
extern const wchar_t kProtectedFolderSddl[];

// The owners whose folders and files are trusted: SYSTEM, Administrators, and, when the
// process token is elevated, the token's default owner and its user (the account an
// elevated program runs as; Wine gives files that account as owner).
class TrustedOwners {
public:
    // SYSTEM and Administrators, and the given SIDs (string form, "S-1-5-...").
    explicit TrustedOwners(const std::vector<std::wstring>& extraSids = {});
    // As above, with this process token's default owner and user when it is elevated.
    static TrustedOwners ForThisProcess();

    // True when the SID is one of them.
    bool Trusts(PSID owner) const;
    // True when the descriptor has an owner and it is one of them.
    bool TrustsDescriptor(PSECURITY_DESCRIPTOR descriptor) const;
    // True when the descriptor's DACL lets none but them write, append, create, delete,
    // change permissions or take ownership: allowing entries of those rights for any
    // other SID (an entry only inherited by what CREATOR OWNER creates aside), a
    // missing DACL, or an allowing entry of a kind it cannot read all fail.
    bool AloneMayChange(PSECURITY_DESCRIPTOR descriptor) const;

private:
    std::vector<std::vector<BYTE>> m_sids;
};

// Creates the folder with kProtectedFolderSddl when it is missing (its parent must
// exist), then checks it as CheckTrustedFolder. A folder already there whose only fault
// is a DACL that lets others change it gets kProtectedFolderSddl's DACL (through the
// handle checked) and is checked again; nothing else of it is changed.
std::optional<Failure> EnsureProtectedFolder(const std::wstring& path, const TrustedOwners& owners);

// Fails unless the path is a folder that is not a reparse point (junction, link), whose
// final path is the path itself (no link followed on the way), whose owner is trusted
// and whose DACL lets only trusted owners change it (AloneMayChange). Changes nothing.
std::optional<Failure> CheckTrustedFolder(const std::wstring& path, const TrustedOwners& owners);

// True when the final path the system reports for an open file or folder
// (GetFinalPathNameByHandleW) names the expected full path: the "\\?\" and "\\?\UNC\"
// prefixes and a trailing backslash aside, without regard to case.
bool SameFinalPath(const std::wstring& finalPath, const std::wstring& expected);

// Fails (ERROR_CANT_ACCESS_FILE) when the open handle's final path is not the full path
// of the name it was opened by, i.e. a link was followed somewhere on the way, or when
// the final path cannot be read.
std::optional<Failure> CheckFinalPath(HANDLE handle, const std::wstring& path);

using OwnedHandle = WinBase::UniqueFile;

// CreateFileW that opens a reparse point at the path itself instead of following it,
// and then refuses it (ERROR_CANT_ACCESS_FILE), as it refuses a folder, a file with a
// second name (hard link) or one whose final path is not the path (CheckFinalPath). On failure nothing is
// left open; a file created by this call is deleted again.
Outcome<OwnedHandle> OpenPlainFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition);

// True when the open file's owner is trusted.
bool HasTrustedOwner(HANDLE file, const TrustedOwners& owners);

}  // namespace SettingsSnapshot
