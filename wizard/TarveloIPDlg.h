#pragma once
#include <string>

#include "ApplySequence.h"
#include "EntryPageActions.h"
#include "dialog_framework/Button.h"
#include "PageIcons.h"
#include "PagePainting.h"
#include "dialog_framework/Dialog.h"
#include "dialog_framework/IPAddressCtrl.h"
#include "dialog_framework/Static.h"

// The entry page (template 102): the user types the assigned address, and the mask,
// gateway and DNS fields follow from it.
class CTarveloIPDlg : public CDialog {
public:
    explicit CTarveloIPDlg(CWnd* parent = nullptr);

protected:
    // Binds Exit, Next, the five address fields and the picture.
    void DoDataExchange(CDataExchange& dx) override;
    // Hands off on Windows 9x; otherwise adds the About entry and sets the icons.
    BOOL OnInitDialog() override;
    // Next button: the apply sequence. Never ends the page; refused while it runs.
    void OnOK() override;
    // The About entry shows the note window; other commands get default handling.
    void OnSysCommand(UINT id, LPARAM lParam) override;
    // Draws the picture, or the centred icon when minimized.
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    // Routes the address field's field-changed notification.
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // Re-derives the other fields from the address field unless its third field is "0".
    void OnFieldChangedAddress(LRESULT* result);
    // Writes mask, gateway and DNS fields for the address text and enables Next.
    void FillDerivedFields(const std::string& addressText);
    void AppendAboutEntry() const;

    CButton m_exit;
    CButton m_next;
    CIPAddressCtrl m_dnsAlternate;
    CIPAddressCtrl m_dnsPreferred;
    CIPAddressCtrl m_gateway;
    CIPAddressCtrl m_mask;
    CIPAddressCtrl m_address;
    CStatic m_picture;
    CPageIcons m_icons;
    CPagePicture m_pagePicture;
    CEntryPageActions m_applyActions;
    CApplySequence m_applySequence;
};
