#pragma once
#include <string>
#include <vector>

#include "dialog_framework/Dialog.h"

// The restore page (template 150): the saved settings newest first, one line each, the
// newest preselected. 「還原」 (id 1, or a double click) ends it with IDOK and the chosen
// line; 「取消」 (id 2, the close box, Esc) with IDCANCEL, choosing nothing.
class CRestoreChooserDlg : public CDialog {
public:
    explicit CRestoreChooserDlg(std::vector<std::wstring> lines, CWnd* parent = nullptr);

    // The chosen line's index once the page ended with IDOK.
    size_t Chosen() const { return m_chosen; }

protected:
    // Fills the list and selects its first line.
    BOOL OnInitDialog() override;
    void OnOK() override;
    // A double click on a line chooses it.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    const std::vector<std::wstring> m_lines;
    size_t m_chosen = 0;
};
