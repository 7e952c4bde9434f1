#pragma once
#include <windows.h>

#include "dialog_framework/Wnd.h"

class CDataExchange;

// A dialog bound to a numbered template in the program's resources. Runs modally
// (DoModal) or modeless (Create). The window is Unicode, so template texts show
// correctly whatever the ANSI code page is.
class CDialog : public CWnd {
public:
    // A dialog for the template; a null parent means the application's main window.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    // Destroys the window of a modeless dialog that is still open.
    ~CDialog() override;

    // Runs the dialog modally; returns the EndDialog result, or -1 when it cannot be created.
    virtual INT_PTR DoModal();
    // Creates the dialog as a modeless window from the template; FALSE on failure.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Destroys the dialog's window (modeless use).
    BOOL DestroyWindow();
    // Ends a modal dialog with the result; destroys a modeless one.
    void EndDialog(int result);
    // Runs the data exchange: FALSE binds controls to members, TRUE collects from them.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
    // Called once the window and its controls exist; the base binds the controls.
    // TRUE lets the dialog manager focus the first tab-stop control.
    virtual BOOL OnInitDialog();
    // OK command (id 1); the base collects data and ends the dialog with IDOK.
    virtual void OnOK();
    // Cancel command (id 2, close box, Esc); the base ends the dialog with IDCANCEL.
    virtual void OnCancel();
    // Binds controls to members (see DDX_Control); the base binds nothing.
    virtual void DoDataExchange(CDataExchange& dx);
    // System-menu command; the base passes it to the default processing.
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    // Paint request; the base passes it to the default processing.
    virtual void OnPaint();
    // Icon for dragging a minimized window; nullptr means the default.
    virtual HCURSOR OnQueryDragIcon();
    // Any other command (WM_COMMAND), such as a control's EN_CHANGE; TRUE when handled.
    // The base handles none.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Notification (WM_NOTIFY) from a child; TRUE when handled, with *result set.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);

    // A handler raised an exception, which stops here instead of ending the process.
    // Called inside the catch block, so an override may rethrow to tell kinds apart.
    // The base enables the Cancel button (id 2), so the user keeps a way out, and
    // shows the error's text (std::exception::what) in a message box.
    virtual void OnHandlerException();

    // Passes the message being handled on to the dialog manager's default processing.
    void Default();

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR DispatchGuarded(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    HWND OwnerWindow(const CWnd* parent) const;

    UINT m_templateId;
    CWnd* m_parent;
    bool m_modal = false;
    bool m_defaultWanted = false;
};
