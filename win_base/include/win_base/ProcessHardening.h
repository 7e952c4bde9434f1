// What both programs do first, before anything else loads or runs.
#pragma once

namespace WinBase {

// Restricts the DLL search of this process to the system directory
// (SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)), so that no DLL planted in
// the program's folder or on the search path is loaded. Call first thing in main. On
// Windows without the call (Vista, 7 before its loader update) it does nothing and
// returns false; true once restricted.
bool RestrictDllSearchToSystem();

}  // namespace WinBase
