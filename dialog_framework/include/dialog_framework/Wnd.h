#pragma once
#include <windows.h>

#include <string>

// A window seen through its handle. The object does not own the window: child
// controls go with their parent, and dialogs manage their own windows.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Binds the object to an existing window (nullptr unbinds it).
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    // The bound window handle, or nullptr.
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Handle of the child control with the given id, or nullptr.
    HWND GetDlgItem(int id) const;
    // Sends a message and waits for the result.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Queues a message without waiting.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Window text in the ANSI code page.
    virtual void SetWindowText(const std::string& text);
    // Window text as Unicode, whatever the ANSI code page.
    void SetText(const std::wstring& text) const;
    // Reads at most maxChars - 1 characters of the window text, in the ANSI code page.
    std::string GetWindowText(int maxChars = 256) const;
    // The whole window text as Unicode (a caption for a message box of the window's own).
    std::wstring GetCaption() const;

    // Enables or disables input; returns whether the window was disabled before.
    BOOL EnableWindow(BOOL enable = TRUE) const;
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int showCommand) const;
    BOOL IsIconic() const;
    RECT GetClientRect() const;

    // The window's system menu (the current one unless revert is TRUE), or nullptr.
    HMENU GetSystemMenu(BOOL revert) const;
    // Sets the big (TRUE) or small (FALSE) icon; returns the previous one.
    HICON SetIcon(HICON icon, BOOL big) const;

protected:
    HWND m_hWnd = nullptr;
};
