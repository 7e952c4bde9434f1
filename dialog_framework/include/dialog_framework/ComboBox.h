#pragma once
#include <windows.h>

#include <string>

#include "dialog_framework/Wnd.h"

// A drop-down list control (combo box) of Unicode entries.
class CComboBox : public CWnd {
public:
    // Removes every entry.
    void ResetContent() const;
    // Appends an entry (the list is not sorted); returns its index, or CB_ERR.
    int AddString(const std::wstring& text) const;
    int GetCount() const;
    // Selects the entry at index (-1: none); returns the index, or CB_ERR.
    int SetCurSel(int index) const;
    // The selected entry's index, or CB_ERR when none is selected.
    int GetCurSel() const;
    // Widens the dropped-down list so that every entry shows in full in the control's
    // font; never narrower than the control.
    void FitDroppedWidth() const;
};
