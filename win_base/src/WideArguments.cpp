#include "win_base/WideArguments.h"

// The C runtime's split of the wide command line (msvcrt); CommandLineToArgvW would bring
// in shell32 and everything it loads.
struct CrtStartupInfo {
    int newMode;
};
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int expandWildcards,
                              CrtStartupInfo* startupInfo);

namespace WinBase {

std::vector<std::wstring> WideArguments() {
    int count = 0;
    wchar_t** arguments = nullptr;
    wchar_t** environment = nullptr;
    CrtStartupInfo startupInfo{0};
    if (__wgetmainargs(&count, &arguments, &environment, 0, &startupInfo) != 0 || arguments == nullptr ||
        count <= 0)
        return {};
    return std::vector<std::wstring>(arguments, arguments + count);
}

}  // namespace WinBase
