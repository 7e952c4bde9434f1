#include "DataFolder.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <memory>

namespace {

struct TaskMemoryFree {
    void operator()(wchar_t* block) const { ::CoTaskMemFree(block); }
};

}  // namespace

std::optional<std::wstring> TarveloDataFolder() {
    wchar_t* raw = nullptr;
    const HRESULT found = ::SHGetKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_DEFAULT, nullptr, &raw);
    const std::unique_ptr<wchar_t, TaskMemoryFree> programData(raw);  // freed even on failure
    if (FAILED(found) || raw == nullptr) return std::nullopt;
    std::wstring folder = std::wstring(programData.get()) + L"\\Tarvelo";
    if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return std::nullopt;
    return folder;
}
