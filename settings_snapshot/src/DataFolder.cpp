#include "settings_snapshot/DataFolder.h"

#include <shlobj.h>

#include <memory>

namespace SettingsSnapshot {

Outcome<std::wstring> TarveloDataFolder() {
    PWSTR raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_DONT_VERIFY, nullptr, &raw);
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owner(raw, &CoTaskMemFree);
    if (FAILED(result) || raw == nullptr || *raw == L'\0')
        return Failure{L"ProgramData", L"the ProgramData folder is not known", static_cast<DWORD>(result)};
    std::wstring base(raw);
    if (base.back() != L'\\') base += L'\\';
    return base + L"Tarvelo";
}

}  // namespace SettingsSnapshot
