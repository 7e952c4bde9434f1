#include "pages/ResourceText.h"

std::wstring ResourceText(UINT id) {
    // With a zero length LoadStringW hands out a pointer to the resource itself.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::wstring ResourceText(UINT id, const std::wstring& first, const std::wstring& second) {
    std::wstring text = ResourceText(id);
    if (const size_t mark = text.find(L"%1"); mark != std::wstring::npos) text.replace(mark, 2, first);
    if (const size_t mark = text.find(L"%2"); mark != std::wstring::npos) text.replace(mark, 2, second);
    return text;
}
