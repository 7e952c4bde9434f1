#pragma once
#include "apply/ConnectionChecks.h"
#include "apply/WayBack.h"
#include "pages/PicturePage.h"

// The closing page (template 103): thanks the user and says what the connection checks
// found, one line each. Only its Finish button ends it with
// CApplySequence::FinishResult, which asks for the restart; Esc, Alt+F4 and the close
// box end it with ClosedResult (no restart). When a check did not pass, the success
// sentences give way to what failed and what to check, and 「復原先前的設定」 shows as
// the default button: it puts the earlier settings back and ends the page with
// RestoredResult; when nothing could be put back, one message box says why and the page
// stays.
class CFinishDlg : public CPicturePage {
public:
    CFinishDlg(const ConnectionReport& report, IWayBack& wayBack, CWnd* parent = nullptr);

    // The page's line for the DNS check: answered (NOERROR), no answer, or what the
    // reply's result code says.
    static std::wstring DnsLine(const ConnectionReport& report);

protected:
    // Sets the icons, fills in the check lines and, when a check did not pass, shows
    // what failed and the way back as the default button.
    BOOL OnInitDialog() override;
    // Enter without a default button does nothing.
    void OnOK() override;
    // Esc, Alt+F4, the close box: ends the page without a restart.
    void OnCancel() override;
    // Finish and the way-back button.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Draws the picture inside the page's own paint cycle; no default painting after it.
    void PaintPicture() override;

private:
    void RestorePrevious();

    const ConnectionReport m_report;
    IWayBack& m_wayBack;
    bool m_restoring = false;
};
