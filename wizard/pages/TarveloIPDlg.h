#pragma once
#include <string>

#include "apply/ApplySequence.h"
#include "pages/EntryPageActions.h"
#include "pages/PicturePage.h"
#include "dialog_framework/Button.h"
#include "dialog_framework/IPAddressCtrl.h"

// The entry page (template 102): the user types the assigned address, and the mask,
// gateway and DNS fields follow from it.
class CTarveloIPDlg : public CPicturePage {
public:
    explicit CTarveloIPDlg(CWnd* parent = nullptr);

protected:
    // Binds the picture, Exit, Next and the five address fields.
    void DoDataExchange(CDataExchange& dx) override;
    // Hands off on Windows 9x; otherwise sets the icons and adds the About entry.
    BOOL OnInitDialog() override;
    // Next button: the apply sequence. Never ends the page; refused while it runs.
    void OnOK() override;
    // The About entry shows the note window; other commands get default handling.
    void OnSysCommand(UINT id, LPARAM lParam) override;
    // Routes the address field's field-changed notification.
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // The address field's text changed (EN_CHANGE): re-derives at once, so an emptied
    // field takes Next away even before the field reports its change on leaving.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // Re-derives the other fields from the address field.
    void OnFieldChangedAddress(LRESULT* result);
    // Shows what the address field's text derives: mask, gateway and DNS fields with
    // Next enabled for a usable host address, blank fields and Next disabled otherwise.
    // Returns whether the address is usable.
    bool DeriveFromAddress();
    // Writes mask, gateway and DNS fields for the address text and enables Next.
    void FillDerivedFields(const std::string& addressText);
    // Blanks mask, gateway and DNS fields and disables Next.
    void ClearDerivedFields();
    void AppendAboutEntry() const;

    CButton m_exit;
    CButton m_next;
    CIPAddressCtrl m_dnsAlternate;
    CIPAddressCtrl m_dnsPreferred;
    CIPAddressCtrl m_gateway;
    CIPAddressCtrl m_mask;
    CIPAddressCtrl m_address;
    CEntryPageActions m_applyActions;
    CApplySequence m_applySequence;
};
