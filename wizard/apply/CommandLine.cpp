#include "apply/CommandLine.h"

std::wstring QuotedArgument(const std::wstring& text) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them: then each is doubled and
        // the quote itself escaped.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');  // the closing quote follows them
    return quoted + L"\"";
}

std::wstring CommandLineArgument(const std::wstring& text) {
    if (!text.empty() && text.find_first_of(L" \t\r\n\v\"") == std::wstring::npos) return text;
    return QuotedArgument(text);
}

std::wstring CommandLine(const std::wstring& program, const std::wstring& parameters) {
    const std::wstring line = QuotedArgument(program);
    return parameters.empty() ? line : line + L" " + parameters;
}
