#pragma once
#include <windows.h>

class CDialog;
class CWnd;

// Context of one data exchange between a dialog and its member objects.
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, BOOL saveAndValidate)
        : m_dialog(dialog), m_saveAndValidate(saveAndValidate) {}

    CDialog& Dialog() const { return m_dialog; }
    // TRUE when collecting data from the controls, FALSE when initialising them.
    BOOL IsSaving() const { return m_saveAndValidate; }

private:
    CDialog& m_dialog;
    BOOL m_saveAndValidate;
};

// Binds the control with the given id to the member object, once. Returns FALSE
// when the dialog has no such control.
BOOL DDX_Control(const CDataExchange& dx, int id, CWnd& control);
