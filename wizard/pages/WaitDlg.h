#pragma once
#include "dialog_framework/Dialog.h"

// The note window (template 100): "please wait" text and the wait cursor.
class CWaitDlg : public CDialog {
public:
    explicit CWaitDlg(CWnd* parent = nullptr);

protected:
    // Shows the wait cursor.
    BOOL OnInitDialog() override;
};
