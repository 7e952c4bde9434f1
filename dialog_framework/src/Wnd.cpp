#include "dialog_framework/Wnd.h"

#include <vector>

HWND CWnd::GetDlgItem(int id) const {
    return ::GetDlgItem(m_hWnd, id);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(const std::string& text) {
    ::SetWindowTextA(m_hWnd, text.c_str());
}

void CWnd::SetText(const std::wstring& text) const {
    ::SetWindowTextW(m_hWnd, text.c_str());
}

std::string CWnd::GetWindowText(int maxChars) const {
    if (maxChars <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(maxChars), '\0');
    const int length = ::GetWindowTextA(m_hWnd, buffer.data(), maxChars);
    return std::string(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring CWnd::GetCaption() const {
    std::vector<wchar_t> buffer(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    ::GetWindowTextW(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
    return buffer.data();
}

BOOL CWnd::EnableWindow(BOOL enable) const {
    return ::EnableWindow(m_hWnd, enable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::ShowWindow(int showCommand) const {
    return ::ShowWindow(m_hWnd, showCommand);
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

RECT CWnd::GetClientRect() const {
    RECT rect{};
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

HMENU CWnd::GetSystemMenu(BOOL revert) const {
    return ::GetSystemMenu(m_hWnd, revert);
}

HICON CWnd::SetIcon(HICON icon, BOOL big) const {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}
