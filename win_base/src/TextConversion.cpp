#include "win_base/TextConversion.h"

namespace WinBase {

std::wstring WideFromNarrow(std::string_view text, UINT codePage) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (size <= 0) return {};
    std::wstring wide(static_cast<size_t>(size), L'\0');
    if (::MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), size) != size) return {};
    return wide;
}

std::string DisplayNarrow(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string narrow(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

std::optional<std::string> ExactNarrow(std::wstring_view text, UINT codePage) {
    if (text.empty()) return std::string();
    if (text.find(L'\0') != std::wstring_view::npos) return std::nullopt;
    const int length = static_cast<int>(text.size());
    // UTF-8 and UTF-7 take neither the flag nor the lossy report; they spell everything.
    const bool unicode = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = unicode ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* const lossyReport = unicode ? nullptr : &lossy;
    const int size =
        ::WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, lossyReport);
    if (size <= 0 || lossy) return std::nullopt;
    std::string narrow(static_cast<size_t>(size), '\0');
    if (::WideCharToMultiByte(codePage, flags, text.data(), length, narrow.data(), size, nullptr,
                              lossyReport) != size ||
        lossy)
        return std::nullopt;
    return narrow;
}

std::string Utf8FromWide(std::wstring_view text) {
    return DisplayNarrow(text, CP_UTF8);
}

}  // namespace WinBase
