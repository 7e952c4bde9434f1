#include "pages/TarveloIPDlg.h"

#include <commctrl.h>

#include "adapter_inventory/AdapterChoice.h"
#include "apply/AdapterListing.h"
#include "apply/AddressRules.h"
#include "platform/SiblingHandOff.h"
#include "pages/ResourceText.h"
#include "pages/WaitDlg.h"
#include "dialog_framework/DataExchange.h"
#include "dialog_framework/WinApp.h"
#include "resources/resource.h"

namespace {
constexpr int AddressTextBuffer = 255;
}  // namespace

CTarveloIPDlg::CTarveloIPDlg(CWnd* parent, AdapterReader readAdapters, const ApplyOperations* operations)
    : CPicturePage(IDD_ENTRY_PAGE, parent),
      m_readAdapters(std::move(readAdapters)),
      m_applyActions(*this, m_next, m_exit, m_address, m_adapterList, m_gateway) {
    if (operations != nullptr) m_applySequence.emplace(m_applyActions, *operations);
}

void CTarveloIPDlg::DoDataExchange(CDataExchange& dx) {
    CPicturePage::DoDataExchange(dx);
    DDX_Control(dx, IDCANCEL, m_exit);
    DDX_Control(dx, IDOK, m_next);
    DDX_Control(dx, IDC_DNS_ALTERNATE, m_dnsAlternate);
    DDX_Control(dx, IDC_DNS_PREFERRED, m_dnsPreferred);
    DDX_Control(dx, IDC_GATEWAY, m_gateway);
    DDX_Control(dx, IDC_MASK, m_mask);
    DDX_Control(dx, IDC_ADDRESS, m_address);
    DDX_Control(dx, IDC_ADAPTER, m_adapterList);
    DDX_Control(dx, IDC_NO_ADAPTER, m_noAdapter);
}

BOOL CTarveloIPDlg::OnInitDialog() {
    CPicturePage::OnInitDialog();
    if (IsWindows9x()) {
        const CWnd* const main = GetMainWnd();
        HandOffToSibling(main != nullptr ? main->GetSafeHwnd() : nullptr);
    }
    AppendAboutEntry();
    ListAdapters();
    // TRUE: the dialog manager focuses the first enabled tab stop, Exit while Next is disabled.
    return TRUE;
}

void CTarveloIPDlg::AppendAboutEntry() const {
    const HMENU systemMenu = GetSystemMenu(FALSE);
    if (systemMenu == nullptr) return;
    // Unicode text, so the entry reads right under any ANSI code page.
    wchar_t text[256] = L"";
    if (::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 256) <= 0) return;
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
}

void CTarveloIPDlg::ListAdapters() {
    m_adapters = m_readAdapters ? m_readAdapters() : std::vector<AdapterInventory::Adapter>();
    m_adapterList.ResetContent();
    if (m_adapters.empty()) {
        // Nothing to configure: the note takes the list's place and Next stays off.
        m_noAdapter.SetText(ResourceText(IDS_NO_ADAPTER));
        m_adapterList.ShowWindow(SW_HIDE);
        m_noAdapter.ShowWindow(SW_SHOW);
        return;
    }
    const AdapterStateTexts states{ResourceText(IDS_CONNECTED), ResourceText(IDS_NOT_CONNECTED)};
    for (const AdapterInventory::Adapter& adapter : m_adapters)
        m_adapterList.AddString(AdapterLabel(adapter, states));
    const std::optional<size_t> choice = AdapterInventory::ChooseAdapter(m_adapters);
    m_adapterList.SetCurSel(choice ? static_cast<int>(*choice) : 0);
    m_adapterList.FitDroppedWidth();
}

std::optional<AdapterInventory::Adapter> CTarveloIPDlg::ChosenAdapter() const {
    const int selected = m_adapterList.GetCurSel();
    if (selected < 0 || static_cast<size_t>(selected) >= m_adapters.size()) return std::nullopt;
    return m_adapters[static_cast<size_t>(selected)];
}

void CTarveloIPDlg::OnOK() {
    // Enter reaches here even while Next is disabled (no address yet, or the sequence
    // already ran); a queued Next while programs run must not start it again.
    if (!m_applySequence || Applying() || !m_next.IsWindowEnabled()) return;
    // A field emptied without a notification must not slip through: decide anew.
    if (!DeriveFromAddress()) return;
    const std::optional<AdapterInventory::Adapter> adapter = ChosenAdapter();
    if (!adapter) return;
    std::vector<std::wstring> cardKeys;
    for (const AdapterInventory::NetworkCard& card : AdapterInventory::ReadNetworkCards().cards)
        cardKeys.push_back(card.cardKey);
    m_applySequence->Run(*adapter, CApplySequence::ToolAdapterName(*adapter, cardKeys));
}

void CTarveloIPDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CWaitDlg note;
        note.DoModal();
    } else {
        CPicturePage::OnSysCommand(id, lParam);
    }
}

BOOL CTarveloIPDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* const header = reinterpret_cast<const NMHDR*>(lParam);
    if (header != nullptr && header->idFrom == IDC_ADDRESS &&
        header->code == static_cast<UINT>(IPN_FIELDCHANGED)) {
        OnFieldChangedAddress(result);
        return TRUE;
    }
    return CPicturePage::OnNotify(wParam, lParam, result);
}

BOOL CTarveloIPDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Not while the sequence runs: the field is locked then and Next stays off.
    const bool addressChanged = LOWORD(wParam) == IDC_ADDRESS && HIWORD(wParam) == EN_CHANGE;
    const bool adapterChosen = LOWORD(wParam) == IDC_ADAPTER && HIWORD(wParam) == CBN_SELCHANGE;
    if ((addressChanged || adapterChosen) && !Applying()) {
        DeriveFromAddress();
        return TRUE;
    }
    return CPicturePage::OnCommand(wParam, lParam);
}

void CTarveloIPDlg::OnFieldChangedAddress(LRESULT* result) {
    DeriveFromAddress();
    *result = 0;
}

bool CTarveloIPDlg::DeriveFromAddress() {
    const std::string text = m_address.GetWindowText(AddressTextBuffer);
    if (!IsUsableHostAddress(text)) {
        ClearDerivedFields();
        return false;
    }
    FillDerivedFields(text);
    const bool ready = ChosenAdapter().has_value();
    m_next.EnableWindow(ready ? TRUE : FALSE);
    return ready;
}

void CTarveloIPDlg::FillDerivedFields(const std::string& addressText) {
    m_mask.SetWindowText(FixedSubnetMask);
    m_gateway.SetWindowText(DeriveGateway(addressText));
    m_dnsPreferred.SetWindowText(ProviderDnsPrimary);
    m_dnsAlternate.SetWindowText(ProviderDnsSecondary);
}

void CTarveloIPDlg::ClearDerivedFields() {
    m_next.EnableWindow(FALSE);
    for (const CIPAddressCtrl* const field : {&m_mask, &m_gateway, &m_dnsPreferred, &m_dnsAlternate})
        field->ClearAddress();
}
