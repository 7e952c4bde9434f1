// Text conversion between Adapset and the snapshot library.
#include "TextConversion.h"

#include <windows.h>

std::wstring WideFromAnsi(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

std::string AnsiFromWide(const std::wstring& text) {
    return NarrowFromWide(text, CP_ACP);
}

std::string NarrowFromWide(const std::wstring& text, unsigned codePage) {
    if (text.empty()) return std::string();
    const int wideLength = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(codePage, 0, text.c_str(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, text.c_str(), wideLength, narrow.data(), length, nullptr, nullptr);
    return narrow;
}
