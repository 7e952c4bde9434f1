// The programs' folder for files of their own (snapshots, the wizard's apply log).
#pragma once
#include <string>

#include "settings_snapshot/Failure.h"

namespace SettingsSnapshot {

// The machine's ProgramData folder as the shell knows it (FOLDERID_ProgramData, never
// an environment variable, which the user could point elsewhere) followed by \Tarvelo,
// without a trailing backslash. Fails when that folder is not known. Creates nothing.
Outcome<std::wstring> TarveloDataFolder();

}  // namespace SettingsSnapshot
