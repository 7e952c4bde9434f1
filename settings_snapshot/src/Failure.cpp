#include "settings_snapshot/Failure.h"

#include "DecimalText.h"
#include "win_base/UniqueHandle.h"

namespace SettingsSnapshot {
namespace {

// The platform's text for a Win32 error, without the trailing line break.
std::wstring ErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const WinBase::UniqueLocalMemory owner(buffer);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

}  // namespace

std::wstring Failure::Describe() const {
    std::wstring text;
    if (line != 0) text += L"line " + DecimalText(line) + L": ";
    if (!subject.empty()) text += subject + L": ";
    text += reason;
    if (error != ERROR_SUCCESS) {
        const std::wstring message = ErrorText(error);
        text += L" (error " + DecimalText(error) + (message.empty() ? L"" : L": " + message) + L")";
    }
    return text;
}

}  // namespace SettingsSnapshot
