#include "settings_snapshot/RegFileParser.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "DecimalText.h"
#include "NameCompare.h"
#include "settings_snapshot/RegFileFormat.h"

namespace SettingsSnapshot {
namespace {

const wchar_t kRootPrefix[] = L"HKEY_LOCAL_MACHINE\\";

// Adds the name (folded) to the names; false when it is there already.
bool AddName(std::vector<std::wstring>* names, const std::wstring& name) {
    std::wstring folded = FoldedName(name);
    if (std::find(names->begin(), names->end(), folded) != names->end()) return false;
    names->push_back(std::move(folded));
    return true;
}

Failure AtLine(size_t line, std::wstring reason) {
    return Failure{L"", std::move(reason), ERROR_SUCCESS, line};
}

// True when the name holds a C0 or C1 control character or DEL: a name the registry
// would cut short (U+0000) or one that does not show what it is.
bool HasControlCharacter(const std::wstring& name) {
    for (const wchar_t c : name)
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
    return false;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// A hex number of 1 to 8 digits (exactly `digits` when non-zero).
bool ParseHexNumber(const std::wstring& text, size_t digits, DWORD* number) {
    if (text.empty() || text.size() > 8 || (digits != 0 && text.size() != digits)) return false;
    *number = 0;
    for (const wchar_t c : text) {
        const int d = HexDigit(c);
        if (d < 0) return false;
        *number = *number << 4 | static_cast<DWORD>(d);
    }
    return true;
}

// The file as lines, without their CR LF ends.
class Lines {
public:
    explicit Lines(std::wstring text) : m_text(std::move(text)) {}

    // The next line and its number; false at the end.
    bool Next(std::wstring* line, size_t* number) {
        if (m_pos >= m_text.size()) return false;
        size_t end = m_text.find(L"\r\n", m_pos);
        if (end == std::wstring::npos) end = m_text.size();
        *line = m_text.substr(m_pos, end - m_pos);
        *number = ++m_number;
        m_pos = end + 2;
        return true;
    }

private:
    std::wstring m_text;
    size_t m_pos = 0;
    size_t m_number = 0;
};

class Parser {
public:
    Parser(Lines lines, const AllowList& allowed) : m_lines(std::move(lines)), m_allowed(allowed) {}

    Outcome<Snapshot> Run() {
        std::wstring line;
        size_t number = 0;
        if (!m_lines.Next(&line, &number) || line != kRegFileHeader)
            return AtLine(1, L"not a Registry Editor 5 file (the first line is not its header)");
        while (m_lines.Next(&line, &number)) {
            std::optional<Failure> failure;
            if (line.find_first_of(L"\r\n") != std::wstring::npos)
                failure = AtLine(number, L"line ends other than CR LF");
            else if (line.empty())
                continue;
            else if (line[0] == L'[')
                failure = Section(line, number);
            else if (line[0] == L'"' || line[0] == L'@')
                failure = Value(line, number);
            else
                failure = AtLine(number, L"malformed line");
            if (failure) return *failure;
        }
        return m_snapshot;
    }

private:
    std::optional<Failure> Section(const std::wstring& line, size_t number) {
        if (line.back() != L']') return AtLine(number, L"malformed key line");
        const std::wstring name = line.substr(1, line.size() - 2);
        if (StartsWith(name, L"-")) return AtLine(number, L"key deletions are not accepted");
        const std::wstring root = name.substr(0, std::size(kRootPrefix) - 1);
        if (!SameName(root, kRootPrefix) || name.size() == root.size())
            return AtLine(number, L"key not below HKEY_LOCAL_MACHINE: " + name);
        const std::wstring path = name.substr(root.size());
        if (HasControlCharacter(path)) return AtLine(number, L"key name holds a control character");
        if (std::optional<std::wstring> fault = m_allowed.KeyFault(path)) return AtLine(number, *fault);
        if (!AddName(&m_keyNames, path)) return AtLine(number, L"key named twice: " + path);
        m_snapshot.keys.push_back(SnapshotKey{path, {}});
        m_valueNames.clear();
        return std::nullopt;
    }

    std::optional<Failure> Value(const std::wstring& line, size_t number) {
        if (m_snapshot.keys.empty()) return AtLine(number, L"value before the first key");
        SnapshotValue value;
        size_t pos = 1;
        if (line[0] == L'"') {
            for (;; ++pos) {
                if (pos >= line.size()) return AtLine(number, L"value name without closing quote");
                if (line[pos] == L'"') break;
                if (line[pos] == L'\\') {
                    if (++pos >= line.size() || (line[pos] != L'\\' && line[pos] != L'"'))
                        return AtLine(number, L"unknown escape in value name");
                }
                value.name += line[pos];
            }
            ++pos;
        }
        if (pos >= line.size() || line[pos] != L'=') return AtLine(number, L"malformed value line");
        if (HasControlCharacter(value.name)) return AtLine(number, L"value name holds a control character");
        std::optional<Failure> failure = Data(line.substr(pos + 1), number, &value);
        if (failure) return failure;
        if (std::optional<std::wstring> fault = m_allowed.ValueFault(m_snapshot.keys.back().path, value))
            return AtLine(number, *fault);

        if (!AddName(&m_valueNames, value.name))
            return AtLine(number, L"value named twice: " + value.name);
        m_snapshot.keys.back().values.push_back(std::move(value));
        return std::nullopt;
    }

    // The value's data in any of the registry editor's forms: "-" (delete), a quoted
    // string, "dword:", "hex:" or "hex(n):".
    std::optional<Failure> Data(const std::wstring& text, size_t number, SnapshotValue* value) {
        if (text == L"-") return std::nullopt;
        value->present = true;
        if (StartsWith(text, L"\"")) return QuotedText(text, number, value);
        DWORD number32 = 0;
        if (StartsWith(text, L"dword:")) {
            if (!ParseHexNumber(text.substr(6), 8, &number32))
                return AtLine(number, L"dword value is not eight hex digits");
            value->type = REG_DWORD;
            for (int shift = 0; shift < 32; shift += 8)
                value->data.push_back(static_cast<BYTE>(number32 >> shift));
            return std::nullopt;
        }
        size_t dataStart = 0;
        if (StartsWith(text, L"hex:")) {
            value->type = REG_BINARY;
            dataStart = 4;
        } else if (StartsWith(text, L"hex(")) {
            const size_t close = text.find(L"):");
            if (close == std::wstring::npos || !ParseHexNumber(text.substr(4, close - 4), 0, &number32))
                return AtLine(number, L"unknown value syntax");
            value->type = number32;
            dataStart = close + 2;
        } else {
            return AtLine(number, L"unknown value syntax");
        }
        return HexBytes(text.substr(dataStart), number, &value->data);
    }

    // "text" with '\' and '"' escaped, into REG_SZ bytes with one terminating zero.
    std::optional<Failure> QuotedText(const std::wstring& text, size_t number, SnapshotValue* value) {
        value->type = REG_SZ;
        for (size_t pos = 1;; ++pos) {
            if (pos >= text.size()) return AtLine(number, L"quoted value without closing quote");
            wchar_t c = text[pos];
            if (c == L'"') {
                if (pos + 1 != text.size()) return AtLine(number, L"text after the closing quote of a value");
                break;
            }
            if (c == L'\\') {
                if (++pos >= text.size() || (text[pos] != L'\\' && text[pos] != L'"'))
                    return AtLine(number, L"unknown escape in a quoted value");
                c = text[pos];
            }
            if (c == L'\0') return AtLine(number, L"quoted value holds a zero character");
            value->data.insert(value->data.end(), {static_cast<BYTE>(c & 0xFF), static_cast<BYTE>(c >> 8)});
        }
        value->data.insert(value->data.end(), {0, 0});
        return std::nullopt;
    }

    // "xx,xx,..." with ",\" line continuations, into bytes.
    std::optional<Failure> HexBytes(std::wstring text, size_t number, std::vector<BYTE>* data) {
        std::wstring line;
        size_t continued = 0;
        while (!text.empty() && text.back() == L'\\') {
            text.pop_back();
            if (!m_lines.Next(&line, &continued))
                return AtLine(number, L"file ends inside a continued value");
            const size_t start = line.find_first_not_of(L' ');
            if (start == 0 || start == std::wstring::npos)
                return AtLine(continued, L"malformed continuation line");
            text += line.substr(start);
        }
        if (text.empty()) return std::nullopt;
        for (size_t pos = 0;; pos += 3) {
            const int high = pos < text.size() ? HexDigit(text[pos]) : -1;
            const int low = pos + 1 < text.size() ? HexDigit(text[pos + 1]) : -1;
            if (high < 0 || low < 0) return AtLine(number, L"hex data is not pairs of hex digits");
            data->push_back(static_cast<BYTE>(high << 4 | low));
            if (pos + 2 == text.size()) return std::nullopt;
            if (text[pos + 2] != L',') return AtLine(number, L"hex data is not pairs of hex digits");
        }
    }

    Lines m_lines;
    const AllowList& m_allowed;
    Snapshot m_snapshot;
    // Folded, to refuse repeats; the allow-list keeps both short, so a plain search does.
    std::vector<std::wstring> m_keyNames;
    std::vector<std::wstring> m_valueNames;  // of the current key
};

}  // namespace

Outcome<Snapshot> ParseRegFile(const std::vector<BYTE>& bytes, const AllowList& allowed) {
    if (bytes.size() > kMaxRegFileBytes)
        return AtLine(0, L"file larger than " + DecimalText(kMaxRegFileBytes) + L" bytes");
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE || bytes.size() % 2 != 0)
        return AtLine(1, L"not a UTF-16LE file with a byte-order mark");
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i < bytes.size(); i += 2) text += static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
    return Parser(Lines(std::move(text)), allowed).Run();
}

}  // namespace SettingsSnapshot
