// Conversions between the programs' narrow texts (a code page, usually ANSI) and UTF-16.
// One rule: text that ends up in a path, a registry key name or a command line is
// converted exactly (ExactNarrow) or not at all, since a best-fit look-alike would
// name something else; text that is only shown may lose characters (DisplayNarrow).
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace WinBase {

// The narrow text of the code page as UTF-16; empty when it cannot be converted.
std::wstring WideFromNarrow(std::string_view text, UINT codePage = CP_ACP);

// The UTF-16 text in the code page for display: characters it lacks become its
// default character (or a best-fit look-alike).
std::string DisplayNarrow(std::wstring_view text, UINT codePage = CP_ACP);

// The UTF-16 text in the code page exactly (WC_NO_BEST_FIT_CHARS), for paths, key names
// and command lines; nullopt when a character has no exact spelling there or the text
// holds a zero character. The empty text converts to itself.
std::optional<std::string> ExactNarrow(std::wstring_view text, UINT codePage = CP_ACP);

// The UTF-16 text as UTF-8 (unpaired surrogates become U+FFFD); empty when it cannot
// be converted.
std::string Utf8FromWide(std::wstring_view text);

}  // namespace WinBase
