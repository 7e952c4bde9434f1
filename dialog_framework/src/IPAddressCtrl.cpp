#include "dialog_framework/IPAddressCtrl.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const auto dot = text.find('.', start);
        fields.push_back(text.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos) return fields;
        start = dot + 1;
    }
}

bool IsFieldNumber(const std::string& field) {
    if (field.empty() || field.size() > 3) return false;
    for (const char c : field) {
        if (c < '0' || c > '9') return false;
    }
    return std::stoi(field) <= 255;
}

// The four field edit windows in left-to-right order.
std::vector<HWND> FieldWindows(HWND control) {
    std::vector<HWND> edits;
    for (HWND child = ::GetWindow(control, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT))
        edits.push_back(child);
    std::vector<std::pair<LONG, HWND>> byPosition;
    for (const HWND edit : edits) {
        RECT rect{};
        ::GetWindowRect(edit, &rect);
        byPosition.emplace_back(rect.left, edit);
    }
    std::sort(byPosition.begin(), byPosition.end());
    edits.clear();
    for (const auto& entry : byPosition) edits.push_back(entry.second);
    return edits;
}

}  // namespace

std::optional<DWORD> ParseDottedAddress(const std::string& text) {
    const auto fields = SplitFields(text);
    if (fields.size() != 4) return std::nullopt;
    DWORD address = 0;
    for (const auto& field : fields) {
        if (!IsFieldNumber(field)) return std::nullopt;
        address = (address << 8) | static_cast<DWORD>(std::stoi(field));
    }
    return address;
}

void CIPAddressCtrl::SetWindowText(const std::string& text) {
    if (const auto address = ParseDottedAddress(text)) {
        SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(*address));
        return;
    }
    // No complete address: show whichever fields hold a number, by position. The
    // control takes no partial address through its messages, so fill its field windows.
    ClearAddress();
    const auto fields = SplitFields(text);
    const auto edits = FieldWindows(m_hWnd);
    for (size_t i = 0; i < fields.size() && i < edits.size(); ++i) {
        if (IsFieldNumber(fields[i])) ::SetWindowTextA(edits[i], fields[i].c_str());
    }
}

void CIPAddressCtrl::SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3) const {
    SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(field0, field1, field2, field3)));
}

void CIPAddressCtrl::ClearAddress() const {
    SendMessage(IPM_CLEARADDRESS);
}

BOOL CIPAddressCtrl::IsBlank() const {
    return static_cast<BOOL>(SendMessage(IPM_ISBLANK));
}
