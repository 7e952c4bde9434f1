#include "platform/NetworkCards.h"

#include <windows.h>

#include <memory>

namespace {

const wchar_t NetworkCards[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";

struct KeyCloser {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

// The key opened for reading in the 64-bit view (a 32-bit build on 64-bit Windows must
// see the real keys); empty when it cannot be opened.
UniqueKey OpenForReading(const std::wstring& path) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &raw) !=
        ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(raw);
}

}  // namespace

std::optional<std::wstring> ReadMachineText(const std::wstring& path, const wchar_t* name) {
    const UniqueKey key = OpenForReading(path);
    if (!key) return std::nullopt;
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

std::optional<std::wstring> FirstCardServiceName() {
    return ReadMachineText(std::wstring(NetworkCards) + L"\\1", L"ServiceName");
}

std::vector<std::wstring> CardServiceNames(size_t count) {
    std::vector<std::wstring> services;
    const UniqueKey cards = OpenForReading(NetworkCards);
    if (!cards) return services;
    wchar_t name[256];
    for (DWORD i = 0; services.size() < count; ++i) {
        DWORD length = static_cast<DWORD>(std::size(name));
        if (::RegEnumKeyExW(cards.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const auto service = ReadMachineText(std::wstring(NetworkCards) + L"\\" + name, L"ServiceName");
        if (!service) break;
        services.push_back(*service);
    }
    return services;
}
