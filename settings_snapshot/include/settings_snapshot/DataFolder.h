// The programs' folder for files of their own (snapshots, the wizard's apply log).
#pragma once
#include <string>

#include "settings_snapshot/Failure.h"

namespace SettingsSnapshot {

// %ProgramData%\Tarvelo, without a trailing backslash: the ProgramData environment
// variable, else ALLUSERSPROFILE. Fails when neither gives a path. Creates nothing.
Outcome<std::wstring> TarveloDataFolder();

}  // namespace SettingsSnapshot
