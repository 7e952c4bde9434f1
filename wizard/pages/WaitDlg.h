#pragma once
#include <string>

#include "dialog_framework/Dialog.h"

// The note window (template 100): "please wait" text and the wait cursor.
class CWaitDlg : public CDialog {
public:
    explicit CWaitDlg(CWnd* parent = nullptr);
    // Replaces the note's text (Unicode).
    void SetNoteText(const std::wstring& text) const;

protected:
    // Shows the wait cursor.
    BOOL OnInitDialog() override;
};
