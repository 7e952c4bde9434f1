// Unicode text on Adapset's standard output.
#include "ConsoleText.h"

#include <windows.h>

#include <cstdio>

#include "win_base/PrintableText.h"
#include "win_base/TextConversion.h"

void PrintText(const std::wstring& text) {
    if (text.empty()) return;
    fflush(stdout);
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output != INVALID_HANDLE_VALUE && output != nullptr && GetConsoleMode(output, &mode)) {
        DWORD written = 0;
        WriteConsoleW(output, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const UINT codePage = GetConsoleOutputCP();
    const std::string narrow = WinBase::DisplayNarrow(text, codePage != 0 ? codePage : CP_ACP);
    fwrite(narrow.data(), 1, narrow.size(), stdout);
}

std::string ConsoleField(const std::wstring& text) {
    return WinBase::DisplayNarrow(WinBase::PrintableText(text));
}

std::string ConsoleField(const std::string& text) {
    return ConsoleField(WinBase::WideFromNarrow(text));
}
