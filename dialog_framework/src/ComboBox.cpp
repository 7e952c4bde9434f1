#include "dialog_framework/ComboBox.h"

#include <algorithm>
#include <vector>

void CComboBox::ResetContent() const {
    SendMessage(CB_RESETCONTENT);
}

int CComboBox::AddString(const std::wstring& text) const {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int CComboBox::GetCount() const {
    return static_cast<int>(SendMessage(CB_GETCOUNT));
}

int CComboBox::SetCurSel(int index) const {
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CComboBox::GetCurSel() const {
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}

void CComboBox::FitDroppedWidth() const {
    const HDC dc = ::GetDC(m_hWnd);
    if (dc == nullptr) return;
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    LONG widest = 0;
    for (int i = 0; i < GetCount(); ++i) {
        const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
        if (length <= 0) continue;
        std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(length), &extent);
        widest = std::max(widest, extent.cx);
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(m_hWnd, dc);
    // Room for the list's frame, a vertical scroll bar and a little margin.
    const LONG width = widest + ::GetSystemMetrics(SM_CXVSCROLL) + 4 * ::GetSystemMetrics(SM_CXEDGE);
    const RECT rect = GetClientRect();
    SendMessage(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(std::max<LONG>(width, rect.right)));
}
