#include "settings_snapshot/RegFileFormat.h"

#include <optional>

namespace SettingsSnapshot {

const wchar_t kRegFileHeader[] = L"Windows Registry Editor Version 5.00";

namespace {

constexpr size_t kLineWidth = 80;
const wchar_t kHexDigits[] = L"0123456789abcdef";

// The text between quotes, with "\" and '"' escaped as the registry editor does.
std::wstring Quoted(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (const wchar_t c : text) {
        if (c == L'\\' || c == L'"') quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

std::wstring QuotedName(const std::wstring& name) {
    return name.empty() ? L"@" : Quoted(name);
}

// The text of a REG_SZ value that a quoted string gives back exactly: whole UTF-16
// units ending in the one terminating zero, no other zero and no control character
// (which would break the line). nullopt for any other data.
std::optional<std::wstring> ExactText(const SnapshotValue& value) {
    const std::vector<BYTE>& data = value.data;
    if (value.type != REG_SZ || data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
    if (data[data.size() - 2] != 0 || data[data.size() - 1] != 0) return std::nullopt;
    std::wstring text;
    for (size_t at = 0; at + 2 < data.size(); at += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[at] | data[at + 1] << 8);
        if (unit < 0x20) return std::nullopt;
        text += unit;
    }
    return text;
}

std::wstring HexNumber(DWORD number, int minimumDigits) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), kHexDigits[number & 0xF]);
        number >>= 4;
    } while (number != 0);
    if (static_cast<int>(digits.size()) < minimumDigits)
        digits.insert(0, minimumDigits - digits.size(), L'0');
    return digits;
}

// Appends "xx,xx,..." to a line that already holds `column` characters, breaking it
// with ",\" before it would pass the line width; continuation lines are indented by two.
void AppendHexBytes(const std::vector<BYTE>& data, size_t column, std::wstring* out) {
    for (size_t i = 0; i < data.size(); ++i) {
        *out += kHexDigits[data[i] >> 4];
        *out += kHexDigits[data[i] & 0xF];
        column += 2;
        if (i + 1 == data.size()) break;
        *out += L',';
        ++column;
        if (column + 3 + 1 > kLineWidth) {  // the next "xx," and the "\" would not fit
            *out += L"\\\r\n  ";
            column = 2;
        }
    }
}

void AppendValue(const SnapshotValue& value, std::wstring* out) {
    std::wstring line = QuotedName(value.name) + L"=";
    if (!value.present) {
        *out += line + L"-\r\n";
        return;
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        const DWORD number = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                             static_cast<DWORD>(value.data[3]) << 24;
        *out += line + L"dword:" + HexNumber(number, 8) + L"\r\n";
        return;
    }
    if (const std::optional<std::wstring> text = ExactText(value)) {
        *out += line + Quoted(*text) + L"\r\n";
        return;
    }
    line += value.type == REG_BINARY ? L"hex:" : L"hex(" + HexNumber(value.type, 1) + L"):";
    *out += line;
    AppendHexBytes(value.data, line.size(), out);
    *out += L"\r\n";
}

}  // namespace

std::wstring FormatRegText(const Snapshot& snapshot) {
    std::wstring text = std::wstring(kRegFileHeader) + L"\r\n\r\n";
    for (const SnapshotKey& key : snapshot.keys) {
        text += L"[HKEY_LOCAL_MACHINE\\" + key.path + L"]\r\n";
        for (const SnapshotValue& value : key.values) AppendValue(value, &text);
        text += L"\r\n";
    }
    return text;
}

std::vector<BYTE> EncodeRegFile(const Snapshot& snapshot) {
    const std::wstring text = FormatRegText(snapshot);
    std::vector<BYTE> bytes{0xFF, 0xFE};
    bytes.reserve(2 + text.size() * 2);
    for (const wchar_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    return bytes;
}

}  // namespace SettingsSnapshot
