#pragma once
#include "dialog_framework/Dialog.h"
#include "dialog_framework/Static.h"

// What the entry and closing pages share: icon 128 as their icon, the page picture
// drawn into control 1000 (the centred icon when minimized), and the report of a
// handler's exception in a message box that leaves the page with Exit usable.
class CPicturePage : public CDialog {
public:
    // Selects the template and loads icon 128 (a shared resource icon, not destroyed).
    CPicturePage(UINT templateId, CWnd* parent);

protected:
    // Binds the picture control.
    void DoDataExchange(CDataExchange& dx) override;
    // Sets icon 128 as the big, then the small icon.
    BOOL OnInitDialog() override;
    // The centred icon when minimized, otherwise PaintPicture.
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    // A registry failure in the library's own error box; anything else as the base does.
    // Either way Exit (id 2) is enabled.
    void OnHandlerException() override;

    // Draws the picture, then runs the default painting; a page may paint otherwise.
    virtual void PaintPicture();

    HWND PictureWindow() const { return m_picture.GetSafeHwnd(); }

private:
    CStatic m_picture;
    HICON m_icon;
};
