#include "dialog_framework/Dialog.h"

#include <exception>
#include <string>
#include <vector>

#include "dialog_framework/DataExchange.h"
#include "dialog_framework/WinApp.h"
#include "win_base/TextConversion.h"

namespace {

// Puts a handler's default-processing flag back on every way out of it.
class RestoreOnExit {
public:
    RestoreOnExit(bool& flag, bool value) : m_flag(flag), m_value(value) {}
    ~RestoreOnExit() { m_flag = m_value; }
    RestoreOnExit(const RestoreOnExit&) = delete;
    RestoreOnExit& operator=(const RestoreOnExit&) = delete;

private:
    bool& m_flag;
    bool m_value;
};

}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr && !m_modal) ::DestroyWindow(m_hWnd);
}

HWND CDialog::OwnerWindow(const CWnd* parent) const {
    if (parent != nullptr) return parent->GetSafeHwnd();
    const CWnd* const main = GetMainWnd();
    if (main == nullptr || main == this || !::IsWindow(main->GetSafeHwnd())) return nullptr;
    return main->GetSafeHwnd();
}

INT_PTR CDialog::DoModal() {
    m_modal = true;
    const INT_PTR result =
        ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), OwnerWindow(m_parent),
                          &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_modal = false;
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    if (m_hWnd != nullptr) return FALSE;
    m_templateId = templateId;
    m_parent = parent;
    m_modal = false;
    const HWND hwnd =
        ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId),
                             OwnerWindow(m_parent), &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

BOOL CDialog::DestroyWindow() {
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

void CDialog::EndDialog(int result) {
    if (m_hWnd == nullptr) return;
    if (m_modal) {
        ::EndDialog(m_hWnd, result);
    } else {
        ::DestroyWindow(m_hWnd);
    }
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CDialog::OnPaint() {
    Default();
}

HCURSOR CDialog::OnQueryDragIcon() {
    return nullptr;
}

BOOL CDialog::OnCommand(WPARAM, LPARAM) {
    return FALSE;
}

BOOL CDialog::OnNotify(WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

void CDialog::OnHandlerException() {
    if (m_hWnd == nullptr) return;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDCANCEL), TRUE);
    std::wstring text = L"Unexpected error.";
    try {
        throw;
    } catch (const std::exception& error) {
        text = WinBase::WideFromNarrow(error.what());  // ANSI text
    } catch (...) {
    }
    ::MessageBoxW(m_hWnd, text.c_str(), GetCaption().c_str(), MB_OK | MB_ICONERROR);
}

void CDialog::Default() {
    m_defaultWanted = true;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* const dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        dialog->m_hWnd = hwnd;
        return dialog->DispatchGuarded(message, wParam, lParam);
    }
    auto* const dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
        return FALSE;
    }
    return dialog->DispatchGuarded(message, wParam, lParam);
}

// No exception leaves a handler into the system's code: it is reported there and the
// message goes on to the default processing (which also ends a paint cycle).
INT_PTR CDialog::DispatchGuarded(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return Dispatch(message, wParam, lParam);
    } catch (...) {
        try {
            OnHandlerException();
        } catch (...) {
            // Reporting failed too; the dialog still stays.
        }
        return FALSE;
    }
}

// Routes one message to its virtual handler. FALSE hands it to the dialog manager.
INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    // A handler may send messages that come back here; keep each message's own flag.
    const RestoreOnExit outer(m_defaultWanted, m_defaultWanted);
    m_defaultWanted = false;
    INT_PTR handled = FALSE;
    switch (message) {
        case WM_INITDIALOG:
            handled = OnInitDialog();
            break;
        case WM_COMMAND:
            // Buttons send BN_CLICKED; the dialog manager sends IDOK/IDCANCEL with code 0 too.
            if (HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == IDOK) {
                    OnOK();
                    handled = TRUE;
                } else if (LOWORD(wParam) == IDCANCEL) {
                    OnCancel();
                    handled = TRUE;
                }
            }
            if (!handled) handled = OnCommand(wParam, lParam);
            break;
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<UINT>(wParam), lParam);
            handled = !m_defaultWanted;
            break;
        case WM_PAINT:
            OnPaint();
            handled = !m_defaultWanted;
            break;
        case WM_QUERYDRAGICON:
            // Returned as is: this message's result is the handle, not a flag.
            handled = reinterpret_cast<INT_PTR>(OnQueryDragIcon());
            break;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnNotify(wParam, lParam, &result) && m_hWnd != nullptr) {
                ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
                handled = TRUE;
            }
            break;
        }
        default:
            break;
    }
    return handled;
}
