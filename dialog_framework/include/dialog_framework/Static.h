#pragma once
#include "dialog_framework/Wnd.h"

// A static control (text or picture).
class CStatic : public CWnd {};
