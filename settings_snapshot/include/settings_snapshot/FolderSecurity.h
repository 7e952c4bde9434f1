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

private:
    std::vector<std::vector<BYTE>> m_sids;
};

// Creates the folder with kProtectedFolderSddl when it is missing (its parent must
// exist), then checks it as CheckTrustedFolder. Changes nothing of a folder already there.
std::optional<Failure> EnsureProtectedFolder(const std::wstring& path, const TrustedOwners& owners);

// Fails unless the path is a folder that is not a reparse point (junction, link) and
// whose owner is trusted. Changes nothing.
std::optional<Failure> CheckTrustedFolder(const std::wstring& path, const TrustedOwners& owners);

using OwnedHandle = WinBase::UniqueFile;

// CreateFileW that opens a reparse point at the path itself instead of following it,
// and then refuses it (ERROR_CANT_ACCESS_FILE), as it refuses a folder or a file with a
// second name (hard link). On failure nothing is left open; a file created by this
// call is deleted again.
Outcome<OwnedHandle> OpenPlainFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition);

// True when the open file's owner is trusted.
bool HasTrustedOwner(HANDLE file, const TrustedOwners& owners);

}  // namespace SettingsSnapshot
