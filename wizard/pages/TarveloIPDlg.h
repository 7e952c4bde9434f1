#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "adapter_inventory/AdapterInventory.h"
#include "apply/ApplySequence.h"
#include "pages/EntryPageActions.h"
#include "pages/PicturePage.h"
#include "dialog_framework/Button.h"
#include "dialog_framework/ComboBox.h"
#include "dialog_framework/IPAddressCtrl.h"
#include "dialog_framework/Static.h"

// The entry page (template 102): the user types the assigned address, and the mask,
// gateway and DNS fields follow from it; the adapter list shows which network adapter
// will be configured (the one the choice rule picks, unless the user picks another).
class CTarveloIPDlg : public CPicturePage {
public:
    // Where the page gets the machine's adapters from when it opens.
    using AdapterReader = std::function<std::vector<AdapterInventory::Adapter>()>;

    // The page over the machine's adapters as the inventory reads them, or as the
    // reader gives them; Next runs the apply sequence with the operations the
    // application built (none: Next applies nothing).
    explicit CTarveloIPDlg(CWnd* parent = nullptr,
                           AdapterReader readAdapters = AdapterInventory::ReadAdapters,
                           const ApplyOperations* operations = nullptr);

protected:
    // Binds the picture, Exit, Next, the five address fields and the adapter list.
    void DoDataExchange(CDataExchange& dx) override;
    // Hands off on Windows 9x; otherwise sets the icons, adds the About entry and lists
    // the adapters with the rule's choice selected ("找不到網路卡" when there is none).
    BOOL OnInitDialog() override;
    // Next button: the apply sequence. Never ends the page; refused while it runs.
    void OnOK() override;
    // The About entry shows the note window; other commands get default handling.
    void OnSysCommand(UINT id, LPARAM lParam) override;
    // Routes the address field's field-changed notification.
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // The address field's text changed (EN_CHANGE): re-derives at once, so an emptied
    // field takes Next away even before the field reports its change on leaving. A new
    // choice in the adapter list decides Next anew too.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    bool Applying() const { return m_applySequence && m_applySequence->IsRunning(); }
    // Re-derives the other fields from the address field.
    void OnFieldChangedAddress(LRESULT* result);
    // Shows what the address field's text derives: mask, gateway and DNS fields with
    // Next enabled for a usable host address, blank fields and Next disabled otherwise;
    // Next also needs a chosen adapter. Returns whether both are there.
    bool DeriveFromAddress();
    // Writes mask, gateway and DNS fields for the address text.
    void FillDerivedFields(const std::string& addressText);
    // Blanks mask, gateway and DNS fields and disables Next.
    void ClearDerivedFields();
    void AppendAboutEntry() const;
    // Fills the adapter list and selects the rule's choice.
    void ListAdapters();
    // The adapter selected in the list, if any.
    std::optional<AdapterInventory::Adapter> ChosenAdapter() const;

    CButton m_exit;
    CButton m_next;
    CIPAddressCtrl m_dnsAlternate;
    CIPAddressCtrl m_dnsPreferred;
    CIPAddressCtrl m_gateway;
    CIPAddressCtrl m_mask;
    CIPAddressCtrl m_address;
    CComboBox m_adapterList;
    CStatic m_noAdapter;
    AdapterReader m_readAdapters;
    std::vector<AdapterInventory::Adapter> m_adapters;
    CEntryPageActions m_applyActions;
    std::optional<CApplySequence> m_applySequence;
};
