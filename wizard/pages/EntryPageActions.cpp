#include "pages/EntryPageActions.h"

#include "win_base/TextConversion.h"
#include "pages/ApplyMessages.h"
#include "pages/FinishDlg.h"
#include "pages/ResourceText.h"
#include "resources/resource.h"
#include "win_base/PrintableText.h"

namespace {
// The address and gateway texts are read into 255-character buffers.
constexpr int FieldTextBuffer = 255;
}  // namespace

CEntryPageActions::CEntryPageActions(CDialog& page, CButton& next, CButton& exit, CIPAddressCtrl& address,
                                     CComboBox& adapterList, CIPAddressCtrl& gateway)
    : m_page(page),
      m_next(next),
      m_exit(exit),
      m_address(address),
      m_adapterList(adapterList),
      m_gateway(gateway) {}

void CEntryPageActions::ShowWaitCursor() {
    m_previousCursor = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}

void CEntryPageActions::RestoreCursor() {
    ::SetCursor(m_previousCursor);
}

void CEntryPageActions::EnableNext(bool enable) {
    m_next.EnableWindow(enable ? TRUE : FALSE);
}

void CEntryPageActions::EnableExit(bool enable) {
    m_exit.EnableWindow(enable ? TRUE : FALSE);
}

void CEntryPageActions::LockInput(bool locked) {
    m_address.EnableWindow(locked ? FALSE : TRUE);
    m_adapterList.EnableWindow(locked ? FALSE : TRUE);
}

void CEntryPageActions::ShowNote() {
    m_note = std::make_unique<CWaitDlg>();
    if (m_note->Create(IDD_NOTE)) m_note->ShowWindow(SW_SHOWNORMAL);
}

void CEntryPageActions::CloseNote() {
    if (m_note != nullptr && m_note->GetSafeHwnd() != nullptr) m_note->SendMessage(WM_CLOSE, 0, 0);
}

void CEntryPageActions::DestroyNote() {
    m_note.reset();
}

std::string CEntryPageActions::ReadAddress() const {
    return m_address.GetWindowText(FieldTextBuffer);
}

std::string CEntryPageActions::ReadGateway() const {
    return m_gateway.GetWindowText(FieldTextBuffer);
}

void CEntryPageActions::ShowCheckingNote(const std::string& gateway, const std::string& dnsServer) {
    if (m_note == nullptr || m_note->GetSafeHwnd() == nullptr) return;
    m_note->SetNoteText(
        ResourceText(IDS_CHECKING, WinBase::WideFromNarrow(gateway), WinBase::WideFromNarrow(dnsServer)));
}

int CEntryPageActions::RunFinishPage(const ConnectionReport& report, IWayBack& wayBack) {
    CFinishDlg page(report, wayBack);
    return static_cast<int>(page.DoModal());
}

// Texts from the resources (Unicode), captioned like the pages.
void CEntryPageActions::AskForRestartByHand() {
    ::MessageBoxW(m_page.GetSafeHwnd(), ResourceText(IDS_RESTART_BY_HAND).c_str(),
                  m_page.GetCaption().c_str(), MB_OK | MB_ICONWARNING);
}

void CEntryPageActions::ReportBackupFailure(const SettingsSnapshot::Failure& failure) {
    const std::wstring text =
        ResourceText(IDS_BACKUP_FAILED) + L"\n\n" + WinBase::PrintableText(failure.Describe());
    ::MessageBoxW(m_page.GetSafeHwnd(), text.c_str(), m_page.GetCaption().c_str(), MB_OK | MB_ICONERROR);
}

void CEntryPageActions::ReportApplyFailure(const std::wstring& connection, const ApplyFailure& failure,
                                           const WayBackOutcome& putBack) {
    const std::wstring text = ApplyFailureText(connection, failure, putBack);
    ::MessageBoxW(m_page.GetSafeHwnd(), text.c_str(), m_page.GetCaption().c_str(),
                  MB_OK | (putBack.Complete() ? MB_ICONWARNING : MB_ICONERROR));
}

void CEntryPageActions::ReportWayBack(const std::wstring& connection,
                                      const std::optional<PreviousAddress>& previous,
                                      const WayBackOutcome& outcome) {
    const std::wstring text = WayBackText(connection, previous, outcome);
    ::MessageBoxW(m_page.GetSafeHwnd(), text.c_str(), m_page.GetCaption().c_str(),
                  MB_OK | (outcome.Complete() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void CEntryPageActions::EndWizard() {
    m_page.EndDialog(IDCANCEL);
}
