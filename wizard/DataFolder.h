#pragma once
#include <optional>
#include <string>

// The wizard's folder for its own files, %ProgramData%\Tarvelo, created when missing
// (without a trailing backslash). nullopt when it neither exists nor can be created.
std::optional<std::wstring> TarveloDataFolder();
