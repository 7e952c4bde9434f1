#include "FinishDlg.h"

#include "PagePainting.h"
#include "dialog_framework/DataExchange.h"
#include "dialog_framework/Gdi.h"
#include "resources/resource.h"

CFinishDlg::CFinishDlg(CWnd* parent)
    : CDialog(IDD_FINISH_PAGE, parent),
      m_icon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

void CFinishDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PICTURE, m_picture);
}

BOOL CFinishDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);
    return TRUE;
}

void CFinishDlg::OnCancel() {
    CDialog::OnCancel();
}

void CFinishDlg::OnPaint() {
    if (IsIconic()) {
        PaintMinimizedIcon(m_hWnd, m_icon);
        return;
    }
    const CPaintDC dc(m_hWnd);
    DrawPagePicture(m_picture.GetSafeHwnd());
}

HCURSOR CFinishDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_icon);
}
