#pragma once
#include "dialog_framework/Wnd.h"

// A push button control.
class CButton : public CWnd {};
