#pragma once
#include "pages/PicturePage.h"

// The closing page (template 103): thanks the user; its Finish button (id 2), the
// close box and Esc all end it with result 2, which asks for the restart.
class CFinishDlg : public CPicturePage {
public:
    explicit CFinishDlg(CWnd* parent = nullptr);

protected:
    void OnCancel() override;
    // Draws the picture inside the page's own paint cycle; no default painting after it.
    void PaintPicture() override;
};
