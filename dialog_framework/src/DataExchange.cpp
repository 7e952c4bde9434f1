#include "dialog_framework/DataExchange.h"

#include "dialog_framework/Dialog.h"

BOOL DDX_Control(const CDataExchange& dx, int id, CWnd& control) {
    if (control.GetSafeHwnd() != nullptr) return TRUE;
    const HWND item = dx.Dialog().GetDlgItem(id);
    control.Attach(item);
    return item != nullptr;
}
