#include "settings_snapshot/DataFolder.h"

namespace SettingsSnapshot {
namespace {

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

}  // namespace

Outcome<std::wstring> TarveloDataFolder() {
    std::wstring base = Environment(L"ProgramData");
    if (base.empty()) base = Environment(L"ALLUSERSPROFILE");
    if (base.empty()) return Failure{L"%ProgramData%", L"the ProgramData folder is not known"};
    if (base.back() != L'\\') base += L'\\';
    return base + L"Tarvelo";
}

}  // namespace SettingsSnapshot
