#include "pages/FinishDlg.h"

#include "pages/PagePainting.h"
#include "dialog_framework/Gdi.h"
#include "resources/resource.h"

CFinishDlg::CFinishDlg(CWnd* parent) : CPicturePage(IDD_FINISH_PAGE, parent) {}

void CFinishDlg::OnCancel() {
    CPicturePage::OnCancel();
}

void CFinishDlg::PaintPicture() {
    const CPaintDC dc(m_hWnd);
    ShowPicture();
}
