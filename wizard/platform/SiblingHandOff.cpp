#include "platform/SiblingHandOff.h"

#include <cstdlib>
#include <string>

#include "apply/ModuleDirectory.h"
#include "platform/ProgramStart.h"
#include "win_base/DecimalText.h"
#include "win_base/UniqueHandle.h"
#include "win_base/TextConversion.h"

const char SiblingInstaller[] = "tarvelo98.exe";

bool IsWindows9x() {
    return (::GetVersion() & 0x80000000u) != 0;
}

namespace {

// The system's text for a Win32 error, without the trailing line break.
std::wstring ErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const WinBase::UniqueLocalMemory owned(buffer);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return text.empty() ? L"error " + WinBase::DecimalText(error) : text;
}

}  // namespace

void HandOffToSibling(HWND owner) {
    const std::wstring directory = WinBase::WideFromNarrow(GetModuleDirectory());
    const std::wstring path =
        directory + WinBase::WideFromNarrow(SiblingInstaller);  // directory ends in "\\"
    // The process handle is not used; it is closed before the process ends.
    if (!StartProgram(path, std::wstring(), directory, ProgramWindow::Shown)) {
        const DWORD error = ::GetLastError();
        // The user's only sign that the installer is missing.
        const std::wstring text = path + L"\n\n" + ErrorText(error);
        ::MessageBoxW(owner, text.c_str(), L"TarveloIP", MB_OK | MB_ICONERROR);
    }
    std::exit(0);
}
