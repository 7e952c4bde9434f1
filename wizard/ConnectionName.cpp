#include "ConnectionName.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace {

const wchar_t NetworkCardOne[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\1";
const wchar_t NetworkClass[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

struct KeyCloser {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

// A non-empty REG_SZ value of a key below HKEY_LOCAL_MACHINE, without its terminator.
std::optional<std::wstring> ReadText(const std::wstring& path, const wchar_t* name) {
    HKEY raw = nullptr;
    // The 64-bit view: a 32-bit build on 64-bit Windows must see the real keys.
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &raw) !=
        ERROR_SUCCESS)
        return std::nullopt;
    const UniqueKey key(raw);
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    // Stop at the first zero: the stored data may or may not carry its terminator.
    std::wstring text(buffer.data());
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

std::optional<std::wstring> ReadFirstCardConnectionName() {
    const std::optional<std::wstring> service = ReadText(NetworkCardOne, L"ServiceName");
    if (!service) return std::nullopt;
    std::optional<std::wstring> name = ReadText(NetworkClass + *service + L"\\Connection", L"Name");
    // A quote cannot be passed inside the shell's quoted parameter.
    if (name && name->find(L'"') != std::wstring::npos) return std::nullopt;
    return name;
}
