#include "platform/ConnectionName.h"

#include "platform/NetworkCards.h"

namespace {

const wchar_t NetworkClass[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

}  // namespace

std::optional<std::wstring> ReadFirstCardConnectionName() {
    const std::optional<std::wstring> service = FirstCardServiceName();
    if (!service) return std::nullopt;
    std::optional<std::wstring> name = ReadMachineText(NetworkClass + *service + L"\\Connection", L"Name");
    // A quote cannot be passed inside the shell's quoted parameter.
    if (name && name->find(L'"') != std::wstring::npos) return std::nullopt;
    return name;
}
