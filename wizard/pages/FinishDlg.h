#pragma once
#include "apply/ConnectionChecks.h"
#include "apply/WayBack.h"
#include "pages/PicturePage.h"

// The closing page (template 103): thanks the user and says what the connection checks
// found, one line each. Its Finish button (id 2), the close box and Esc all end it with
// result 2, which asks for the restart. When a check did not pass it also explains the
// way back and shows 「復原先前的設定」, which puts the earlier settings back and ends
// the page with CApplySequence::RestoredResult; when that fails, one message box says
// why and the page stays.
class CFinishDlg : public CPicturePage {
public:
    CFinishDlg(const ConnectionReport& report, IWayBack& wayBack, CWnd* parent = nullptr);

protected:
    // Sets the icons and fills in the check lines; shows the way back when needed.
    BOOL OnInitDialog() override;
    void OnCancel() override;
    // The way-back button.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Draws the picture inside the page's own paint cycle; no default painting after it.
    void PaintPicture() override;

private:
    void RestorePrevious();

    const ConnectionReport m_report;
    IWayBack& m_wayBack;
    bool m_restoring = false;
};
