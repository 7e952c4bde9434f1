#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "dialog_framework/Wnd.h"

// The common controls' IPv4 address control.
class CIPAddressCtrl : public CWnd {
public:
    // Shows a dotted address text in the four fields. A complete a.b.c.d address
    // (each field 0-255) is set as a whole; other text fills the fields that hold
    // a number 0-255 and leaves the rest blank.
    void SetWindowText(const std::string& text) override;
    // Sets all four fields.
    void SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3) const;
    // Blanks all four fields.
    void ClearAddress() const;
    // TRUE when all four fields are blank.
    BOOL IsBlank() const;
};

// The address packed as IPM_SETADDRESS expects it, when the text is exactly four
// dot-separated decimal fields of 0-255.
std::optional<DWORD> ParseDottedAddress(const std::string& text);
