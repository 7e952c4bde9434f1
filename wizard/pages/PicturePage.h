#pragma once
#include "pages/PageIcons.h"
#include "pages/PagePainting.h"
#include "dialog_framework/Dialog.h"
#include "dialog_framework/Static.h"

// What the entry and closing pages share: icon 128 at the system's icon sizes, the page
// picture scaled into control 1000 (the centred icon when minimized), and the report of a
// handler's exception in a message box that leaves the page with Exit usable.
class CPicturePage : public CDialog {
public:
    // Selects the template and loads icon 128 at the system's large and small icon sizes.
    CPicturePage(UINT templateId, CWnd* parent);

protected:
    // Binds the picture control.
    void DoDataExchange(CDataExchange& dx) override;
    // Sets icon 128's large, then its small size as the page's icons.
    BOOL OnInitDialog() override;
    // The centred icon when minimized, otherwise PaintPicture.
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    // A registry failure in the library's own error box; anything else as the base does.
    // Either way Exit (id 2) is enabled.
    void OnHandlerException() override;

    // Shows the picture, then runs the default painting; a page may paint otherwise.
    virtual void PaintPicture();
    // Gives the picture control the page picture at its current size.
    void ShowPicture() { m_pagePicture.Show(PictureWindow()); }

    HWND PictureWindow() const { return m_picture.GetSafeHwnd(); }

private:
    CStatic m_picture;
    CPageIcons m_icons;
    CPagePicture m_pagePicture;
};
