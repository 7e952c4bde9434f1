#pragma once
#include "PageIcons.h"
#include "PagePainting.h"
#include "dialog_framework/Dialog.h"
#include "dialog_framework/Static.h"

// The closing page (template 103): thanks the user; its Finish button (id 2), the
// close box and Esc all end it with result 2, which asks for the restart.
class CFinishDlg : public CDialog {
public:
    explicit CFinishDlg(CWnd* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange& dx) override;
    // Sets the page's icons.
    BOOL OnInitDialog() override;
    void OnCancel() override;
    // Draws the picture (or the centred icon when minimized); no default painting after it.
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;

private:
    CStatic m_picture;
    CPageIcons m_icons;
    CPagePicture m_pagePicture;
};
