#pragma once
#include "dialog_framework/WinApp.h"

// The wizard's application object: runs the entry page and ends with it.
class CTarveloIPApp : public CWinApp {
public:
    // Runs the entry page modally; returns FALSE so the program ends with the page.
    BOOL InitInstance() override;
};
