#include "pages/PicturePage.h"

#include "pages/PagePainting.h"
#include "dialog_framework/DataExchange.h"
#include "registry/Win32Exception.h"
#include "resources/resource.h"

CPicturePage::CPicturePage(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

void CPicturePage::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PICTURE, m_picture);
}

BOOL CPicturePage::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_icons.Large(), TRUE);
    SetIcon(m_icons.Small(), FALSE);
    return TRUE;
}

void CPicturePage::OnPaint() {
    if (IsIconic())
        PaintMinimizedIcon(m_hWnd, m_icons.Large());
    else
        PaintPicture();
}

void CPicturePage::PaintPicture() {
    ShowPicture();
    CDialog::OnPaint();
}

HCURSOR CPicturePage::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_icons.Large());
}

void CPicturePage::OnHandlerException() {
    try {
        throw;
    } catch (const BrenlowTools::CWin32Exception& error) {
        ::EnableWindow(GetDlgItem(IDCANCEL), TRUE);
        error.ShowMessageBox(m_hWnd);
    } catch (...) {
        CDialog::OnHandlerException();
    }
}
