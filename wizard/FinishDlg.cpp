#include "FinishDlg.h"

#include "PagePainting.h"
#include "dialog_framework/DataExchange.h"
#include "dialog_framework/Gdi.h"
#include "resources/resource.h"

CFinishDlg::CFinishDlg(CWnd* parent) : CDialog(IDD_FINISH_PAGE, parent) {}

void CFinishDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PICTURE, m_picture);
}

BOOL CFinishDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_icons.Large(), TRUE);
    SetIcon(m_icons.Small(), FALSE);
    return TRUE;
}

void CFinishDlg::OnCancel() {
    CDialog::OnCancel();
}

void CFinishDlg::OnPaint() {
    if (IsIconic()) {
        PaintMinimizedIcon(m_hWnd, m_icons.Large());
        return;
    }
    const CPaintDC dc(m_hWnd);
    m_pagePicture.Show(m_picture.GetSafeHwnd());
}

HCURSOR CFinishDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_icons.Large());
}
