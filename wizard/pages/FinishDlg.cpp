#include "pages/FinishDlg.h"

#include "win_base/DecimalText.h"
#include "win_base/TextConversion.h"
#include "pages/PagePainting.h"
#include "pages/ResourceText.h"
#include "dialog_framework/Gdi.h"
#include "resources/resource.h"
#include "win_base/PrintableText.h"

namespace {

// A resource text with its marks replaced by the address and the second text.
std::wstring LineFor(UINT textId, const std::string& first, const std::wstring& second = std::wstring()) {
    return ResourceText(textId, WinBase::WideFromNarrow(first), second);
}

}  // namespace

CFinishDlg::CFinishDlg(const ConnectionReport& report, IWayBack& wayBack, CWnd* parent)
    : CPicturePage(IDD_FINISH_PAGE, parent), m_report(report), m_wayBack(wayBack) {}

std::wstring CFinishDlg::DnsLine(const ConnectionReport& report) {
    const ConnectionCheck::DnsCheck& dns = report.results.dns;
    if (!dns.replied) return LineFor(IDS_DNS_SILENT, report.dnsServer);
    // By result code: NOERROR, FORMERR, SERVFAIL, NXDOMAIN, NOTIMP, REFUSED.
    static const UINT lines[] = {IDS_DNS_ANSWERED,   IDS_DNS_FORMAT_ERROR,    IDS_DNS_SERVER_FAILURE,
                                 IDS_DNS_NAME_ERROR, IDS_DNS_NOT_IMPLEMENTED, IDS_DNS_REFUSED};
    if (dns.resultCode < sizeof lines / sizeof lines[0])
        return LineFor(lines[dns.resultCode], report.dnsServer);
    return LineFor(IDS_DNS_OTHER_CODE, report.dnsServer, WinBase::DecimalText(dns.resultCode));
}

BOOL CFinishDlg::OnInitDialog() {
    CPicturePage::OnInitDialog();
    const std::wstring gateway = LineFor(
        m_report.results.gatewayAnswered ? IDS_GATEWAY_ANSWERED : IDS_GATEWAY_SILENT, m_report.gateway);
    ::SetDlgItemTextW(m_hWnd, IDC_CHECK_GATEWAY, gateway.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_CHECK_DNS, DnsLine(m_report).c_str());
    if (m_report.Passed()) {
        ::SendMessageW(m_hWnd, DM_SETDEFID, IDC_FINISH, 0);
        ::SetFocus(GetDlgItem(IDC_FINISH));
        return FALSE;
    }
    // The page must not claim a setup that works: what failed and what to check instead.
    for (const int id : {IDC_DONE_TEXT, IDC_ENJOY_TEXT, IDC_SPEED_TEXT})
        ::ShowWindow(GetDlgItem(id), SW_HIDE);
    ::SetDlgItemTextW(m_hWnd, IDC_CHECK_FAILED, ResourceText(IDS_CHECK_FAILED).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_CHECK_ADVICE, ResourceText(IDS_CHECK_ADVICE).c_str());
    for (const int id : {IDC_CHECK_FAILED, IDC_CHECK_ADVICE, IDC_RESTORE_PREVIOUS})
        ::ShowWindow(GetDlgItem(id), SW_SHOW);
    // Enter takes the way back, not the restart.
    const HWND restore = GetDlgItem(IDC_RESTORE_PREVIOUS);
    ::SendMessageW(m_hWnd, DM_SETDEFID, IDC_RESTORE_PREVIOUS, 0);
    ::SendMessageW(restore, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    ::SetFocus(restore);
    return FALSE;
}

void CFinishDlg::OnOK() {}

void CFinishDlg::OnCancel() {
    // Not while the way back runs the network shell: the page's result must say what
    // happened.
    if (m_restoring) return;
    EndDialog(CApplySequence::ClosedResult);
}

BOOL CFinishDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_RESTORE_PREVIOUS) {
        RestorePrevious();
        return TRUE;
    }
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_FINISH) {
        if (!m_restoring) EndDialog(CApplySequence::FinishResult);
        return TRUE;
    }
    return CPicturePage::OnCommand(wParam, lParam);
}

void CFinishDlg::RestorePrevious() {
    if (m_restoring || m_report.Passed()) return;
    m_restoring = true;
    const HWND restore = GetDlgItem(IDC_RESTORE_PREVIOUS);
    const HWND finish = GetDlgItem(IDC_FINISH);
    ::EnableWindow(restore, FALSE);
    ::EnableWindow(finish, FALSE);
    const HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    const WayBackOutcome outcome = m_wayBack.Restore();
    ::SetCursor(previous);
    m_restoring = false;
    ::EnableWindow(finish, TRUE);
    ::EnableWindow(restore, TRUE);
    if (!outcome.notRestored) {
        EndDialog(CApplySequence::RestoredResult);
        return;
    }
    const std::wstring text =
        ResourceText(IDS_WAY_BACK_FAILED) + L"\n" + WinBase::PrintableText(outcome.notRestored->Describe());
    ::MessageBoxW(m_hWnd, text.c_str(), GetCaption().c_str(), MB_OK | MB_ICONERROR);
}

void CFinishDlg::PaintPicture() {
    const CPaintDC dc(m_hWnd);
    ShowPicture();
}
