#include "pages/RestoreChooserDlg.h"

#include "resources/resource.h"

CRestoreChooserDlg::CRestoreChooserDlg(std::vector<std::wstring> lines, CWnd* parent)
    : CDialog(IDD_RESTORE_PAGE, parent), m_lines(std::move(lines)) {}

BOOL CRestoreChooserDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const HWND list = GetDlgItem(IDC_SNAPSHOT_LIST);
    // Columns in dialog units: time, adapter, what it holds, the original's mark.
    INT stops[] = {80, 200, 265};
    ::SendMessageW(list, LB_SETTABSTOPS, std::size(stops), reinterpret_cast<LPARAM>(stops));
    for (const std::wstring& line : m_lines)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    ::SendMessageW(list, LB_SETCURSEL, 0, 0);
    ::SetFocus(list);
    return FALSE;
}

void CRestoreChooserDlg::OnOK() {
    const LRESULT selected = ::SendMessageW(GetDlgItem(IDC_SNAPSHOT_LIST), LB_GETCURSEL, 0, 0);
    if (selected < 0 || static_cast<size_t>(selected) >= m_lines.size()) return;
    m_chosen = static_cast<size_t>(selected);
    EndDialog(IDOK);
}

BOOL CRestoreChooserDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_SNAPSHOT_LIST && HIWORD(wParam) == LBN_DBLCLK) {
        OnOK();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}
