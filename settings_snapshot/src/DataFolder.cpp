#include "settings_snapshot/DataFolder.h"

#include <shlobj.h>

#include <memory>

namespace SettingsSnapshot {
namespace {

// FOLDERID_ProgramData, defined here: the import library that holds it puts every
// known GUID of the platform into the program (about 40 KB).
constexpr KNOWNFOLDERID kProgramDataFolder = {
    0x62AB5D82, 0xFDC1, 0x4DC3, {0xA9, 0xDD, 0x07, 0x0D, 0x1D, 0x49, 0x5D, 0x97}};

}  // namespace

Outcome<std::wstring> TarveloDataFolder() {
    PWSTR raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(kProgramDataFolder, KF_FLAG_DONT_VERIFY, nullptr, &raw);
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owner(raw, &CoTaskMemFree);
    if (FAILED(result) || raw == nullptr || *raw == L'\0')
        return Failure{L"ProgramData", L"the ProgramData folder is not known", static_cast<DWORD>(result)};
    std::wstring base(raw);
    if (base.back() != L'\\') base += L'\\';
    return base + L"Tarvelo";
}

}  // namespace SettingsSnapshot
