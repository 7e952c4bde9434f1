// The programs' folder for files of their own (snapshots, the wizard's apply log).
#pragma once
#include <windows.h>

#include <string>

#include "settings_snapshot/Failure.h"

namespace SettingsSnapshot {

// The machine's ProgramData folder as Windows keeps it for the whole machine (the
// ProgramData value of HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList,
// 64-bit view), followed by \Tarvelo, without a trailing backslash. Needs no shell
// library and reads no environment variable, which the user could point elsewhere.
// Fails when the value cannot be read or is not a plausible folder. Creates nothing.
Outcome<std::wstring> TarveloDataFolder();

// The ProgramData folder from the registry value as read (type and text up to its
// first zero) and the system's Windows directory: a leading %SystemDrive% (any case)
// becomes the Windows directory's drive ("C:"). Fails on any other type or variable,
// and unless the result is a plain absolute folder on a drive ("X:\name...", no "." or
// ".." component, no "/", no control character, room below MAX_PATH for our files).
Outcome<std::wstring> ProgramDataFromProfileValue(DWORD type, const std::wstring& value,
                                                  const std::wstring& windowsDirectory);

}  // namespace SettingsSnapshot
