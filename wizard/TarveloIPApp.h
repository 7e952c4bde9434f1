#pragma once
#include "dialog_framework/WinApp.h"

// The wizard's application object: runs the entry page and ends with it, or, started
// with "/restore", puts back the settings saved before its last change.
class CTarveloIPApp : public CWinApp {
public:
    // Runs the entry page modally, or the restore; returns FALSE so the program ends
    // with it.
    BOOL InitInstance() override;
    // The restore's exit status; 0 after the entry page.
    int ExitInstance() override { return m_exitCode; }

private:
    int m_exitCode = 0;
};
