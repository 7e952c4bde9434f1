#include "pages/FinishDlg.h"

#include "win_base/TextConversion.h"
#include "pages/PagePainting.h"
#include "pages/ResourceText.h"
#include "dialog_framework/Gdi.h"
#include "resources/resource.h"
#include "win_base/PrintableText.h"

namespace {

// A resource text with its "%1" mark replaced by the address.
std::wstring LineFor(UINT textId, const std::string& address) {
    std::wstring text = ResourceText(textId);
    if (const size_t mark = text.find(L"%1"); mark != std::wstring::npos)
        text.replace(mark, 2, WinBase::WideFromNarrow(address));
    return text;
}

}  // namespace

CFinishDlg::CFinishDlg(const ConnectionReport& report, IWayBack& wayBack, CWnd* parent)
    : CPicturePage(IDD_FINISH_PAGE, parent), m_report(report), m_wayBack(wayBack) {}

BOOL CFinishDlg::OnInitDialog() {
    CPicturePage::OnInitDialog();
    const std::wstring gateway =
        LineFor(m_report.gatewayAnswered ? IDS_GATEWAY_ANSWERED : IDS_GATEWAY_SILENT, m_report.gateway);
    const std::wstring dns =
        LineFor(m_report.dnsAnswered ? IDS_DNS_ANSWERED : IDS_DNS_SILENT, m_report.dnsServer);
    ::SetDlgItemTextW(m_hWnd, IDC_CHECK_GATEWAY, gateway.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_CHECK_DNS, dns.c_str());
    if (!m_report.Passed()) {
        ::SetDlgItemTextW(m_hWnd, IDC_CHECK_FAILED, ResourceText(IDS_CHECK_FAILED).c_str());
        ::ShowWindow(GetDlgItem(IDC_CHECK_FAILED), SW_SHOW);
        ::ShowWindow(GetDlgItem(IDC_RESTORE_PREVIOUS), SW_SHOW);
    }
    return TRUE;
}

void CFinishDlg::OnCancel() {
    // Not while the way back runs the network shell: the page's result must say what
    // happened.
    if (m_restoring) return;
    CPicturePage::OnCancel();
}

BOOL CFinishDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_RESTORE_PREVIOUS && HIWORD(wParam) == BN_CLICKED) {
        RestorePrevious();
        return TRUE;
    }
    return CPicturePage::OnCommand(wParam, lParam);
}

void CFinishDlg::RestorePrevious() {
    if (m_restoring || m_report.Passed()) return;
    m_restoring = true;
    const HWND restore = GetDlgItem(IDC_RESTORE_PREVIOUS);
    const HWND finish = GetDlgItem(IDCANCEL);
    ::EnableWindow(restore, FALSE);
    ::EnableWindow(finish, FALSE);
    const HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    const std::optional<std::wstring> failure = m_wayBack.Restore();
    ::SetCursor(previous);
    m_restoring = false;
    ::EnableWindow(finish, TRUE);
    ::EnableWindow(restore, TRUE);
    if (!failure) {
        EndDialog(CApplySequence::RestoredResult);
        return;
    }
    const std::wstring text =
        ResourceText(IDS_WAY_BACK_FAILED) + L"\n" + WinBase::PrintableText(*failure);
    ::MessageBoxW(m_hWnd, text.c_str(), GetCaption().c_str(), MB_OK | MB_ICONERROR);
}

void CFinishDlg::PaintPicture() {
    const CPaintDC dc(m_hWnd);
    ShowPicture();
}
