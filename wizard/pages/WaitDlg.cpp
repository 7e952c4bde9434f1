#include "pages/WaitDlg.h"

#include "resources/resource.h"

CWaitDlg::CWaitDlg(CWnd* parent) : CDialog(IDD_NOTE, parent) {}

BOOL CWaitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    return TRUE;
}
