#include "settings_snapshot/DataFolder.h"

#include <vector>

#include "NameCompare.h"
#include "win_base/UniqueHandle.h"

namespace SettingsSnapshot {
namespace {

const wchar_t kProfileListKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const wchar_t kProgramDataValue[] = L"ProgramData";
const wchar_t kSystemDrive[] = L"%SystemDrive%";
// Room left below MAX_PATH for \Tarvelo\Backups\ and a snapshot's name.
constexpr size_t kLongestFolder = MAX_PATH - 100;

Failure Implausible(const wchar_t* reason, DWORD error = ERROR_SUCCESS) {
    return Failure{L"ProgramData", reason, error};
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// True when no component between backslashes is empty, "." or "..".
bool PlainComponents(const std::wstring& path, size_t from) {
    while (from < path.size()) {
        size_t end = path.find(L'\\', from);
        if (end == std::wstring::npos) end = path.size();
        const std::wstring part = path.substr(from, end - from);
        if (part.empty() || part == L"." || part == L"..") return false;
        from = end + 1;
    }
    return true;
}

// The value's type and text up to its first zero; the Win32 error when unreadable.
Outcome<std::pair<DWORD, std::wstring>> ReadProfileValue() {
    WinBase::UniqueKey key;
    LONG status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProfileListKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put());
    if (status != ERROR_SUCCESS) return Implausible(L"cannot read the ProgramData location", status);
    std::vector<wchar_t> text(MAX_PATH + 1, L'\0');
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>((text.size() - 1) * sizeof(wchar_t));
    status = RegQueryValueExW(key.get(), kProgramDataValue, nullptr, &type,
                              reinterpret_cast<BYTE*>(text.data()), &size);
    if (status == ERROR_MORE_DATA) return Implausible(L"the ProgramData location is too long");
    if (status != ERROR_SUCCESS) return Implausible(L"cannot read the ProgramData location", status);
    return std::make_pair(type, std::wstring(text.data()));
}

}  // namespace

Outcome<std::wstring> ProgramDataFromProfileValue(DWORD type, const std::wstring& value,
                                                  const std::wstring& windowsDirectory) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return Implausible(L"the ProgramData location is not text");
    std::wstring folder = value;
    const size_t variableLength = sizeof kSystemDrive / sizeof kSystemDrive[0] - 1;
    if (type == REG_EXPAND_SZ && SameName(folder.substr(0, variableLength), kSystemDrive)) {
        if (windowsDirectory.size() < 2 || !IsDriveLetter(windowsDirectory[0]) || windowsDirectory[1] != L':')
            return Implausible(L"the Windows directory is not on a drive");
        folder.replace(0, variableLength, windowsDirectory.substr(0, 2));
    }
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    const bool absolute =
        folder.size() > 3 && IsDriveLetter(folder[0]) && folder[1] == L':' && folder[2] == L'\\';
    bool plainCharacters = true;
    for (const wchar_t c : folder)
        if (c < 0x20 || c == L'/' || c == L'%' || c == L'"' || c == L'*' || c == L'?' || c == L'<' ||
            c == L'>' || c == L'|')
            plainCharacters = false;
    if (!absolute || !plainCharacters || folder.find(L':', 2) != std::wstring::npos ||
        !PlainComponents(folder, 3) || folder.size() > kLongestFolder)
        return Implausible(L"the ProgramData location is not a plain folder on a drive");
    return folder;
}

Outcome<std::wstring> TarveloDataFolder() {
    const Outcome<std::pair<DWORD, std::wstring>> read = ReadProfileValue();
    if (!read) return read.Error();
    wchar_t windows[MAX_PATH] = L"";
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return Implausible(L"the Windows directory is not known", GetLastError());
    const Outcome<std::wstring> folder =
        ProgramDataFromProfileValue(read.Value().first, read.Value().second, std::wstring(windows, length));
    if (!folder) return folder.Error();
    return folder.Value() + L"\\Tarvelo";
}

}  // namespace SettingsSnapshot
