#pragma once
#include <memory>

#include "apply/ApplySequence.h"
#include "pages/WaitDlg.h"
#include "dialog_framework/Button.h"
#include "dialog_framework/ComboBox.h"
#include "dialog_framework/Dialog.h"
#include "dialog_framework/IPAddressCtrl.h"

// The apply sequence's actions on the entry page: its buttons, fields, adapter list and cursor,
// the note window, the closing page, the restart and the wizard's end.
class CEntryPageActions : public IApplyPage {
public:
    CEntryPageActions(CDialog& page, CButton& next, CButton& exit, CIPAddressCtrl& address,
                      CComboBox& adapterList, CIPAddressCtrl& gateway);

    void ShowWaitCursor() override;
    void RestoreCursor() override;
    void EnableNext(bool enable) override;
    void EnableExit(bool enable) override;
    void LockInput(bool locked) override;
    void ShowNote() override;
    void CloseNote() override;
    void DestroyNote() override;
    std::string ReadAddress() const override;
    std::string ReadGateway() const override;
    void ShowCheckingNote(const std::string& gateway, const std::string& dnsServer) override;
    int RunFinishPage(const ConnectionReport& report, IWayBack& wayBack) override;
    void AskForRestartByHand() override;
    void ReportBackupFailure(const SettingsSnapshot::Failure& failure) override;
    void ReportApplyFailure(const std::wstring& connection, const ApplyFailure& failure,
                            const WayBackOutcome& putBack) override;
    void ReportWayBack(const std::wstring& connection, const std::optional<PreviousAddress>& previous,
                       const WayBackOutcome& outcome) override;
    void EndWizard() override;

private:
    CDialog& m_page;
    CButton& m_next;
    CButton& m_exit;
    CIPAddressCtrl& m_address;
    CComboBox& m_adapterList;
    CIPAddressCtrl& m_gateway;
    HCURSOR m_previousCursor = nullptr;
    std::unique_ptr<CWaitDlg> m_note;
};
