#include "PicturePage.h"

#include "PagePainting.h"
#include "dialog_framework/DataExchange.h"
#include "registry/Win32Exception.h"
#include "resources/resource.h"

CPicturePage::CPicturePage(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent),
      m_icon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

void CPicturePage::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PICTURE, m_picture);
}

BOOL CPicturePage::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);
    return TRUE;
}

void CPicturePage::OnPaint() {
    if (IsIconic())
        PaintMinimizedIcon(m_hWnd, m_icon);
    else
        PaintPicture();
}

void CPicturePage::PaintPicture() {
    DrawPagePicture(PictureWindow());
    CDialog::OnPaint();
}

HCURSOR CPicturePage::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_icon);
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
