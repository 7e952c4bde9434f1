// The program's command line as UTF-16 arguments, without the shell library.
#pragma once
#include <string>
#include <vector>

namespace WinBase {

// The arguments of the command line, the program first, split by the C runtime's own
// rules (those of the narrow argv main gets) but in UTF-16, so that a name survives
// whatever the code page lacks. Empty when the runtime cannot give them.
std::vector<std::wstring> WideArguments();

}  // namespace WinBase
