#include "pages/WaitDlg.h"

#include "resources/resource.h"

CWaitDlg::CWaitDlg(CWnd* parent) : CDialog(IDD_NOTE, parent) {}

BOOL CWaitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    return TRUE;
}

void CWaitDlg::SetNoteText(const std::wstring& text) const {
    ::SetDlgItemTextW(m_hWnd, IDC_NOTE_TEXT, text.c_str());
}
