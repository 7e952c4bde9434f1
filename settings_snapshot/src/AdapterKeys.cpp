#include "settings_snapshot/AdapterKeys.h"

namespace SettingsSnapshot {
namespace {

const wchar_t kServices[] = L"SYSTEM\\CurrentControlSet\\Services\\";
const wchar_t kAdapterTcpipSuffix[] = L"\\Parameters\\Tcpip";
const wchar_t kInterfaces[] = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const wchar_t kNetbtInterfaces[] = L"SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces\\";
const wchar_t kNetbtInterfacePrefix[] = L"Tcpip_";
const wchar_t kNetbtAdapters[] = L"SYSTEM\\CurrentControlSet\\Services\\NetBT\\Adapters\\";

// The last component of a path that matches "<prefix>*<suffix>" component-wise.
std::optional<std::wstring> Wildcard(const std::wstring& path, const std::wstring& prefix,
                                     const std::wstring& suffix) {
    if (!MatchesKeyPattern(path, prefix + L"*" + suffix)) return std::nullopt;
    const std::wstring tail = path.substr(prefix.size());
    return tail.substr(0, tail.size() - suffix.size());
}

}  // namespace

const wchar_t kTcpipParametersKey[] = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

std::wstring AdapterTcpipKey(const std::wstring& service) {
    return kServices + service + kAdapterTcpipSuffix;
}
std::wstring TcpipInterfaceKey(const std::wstring& service) {
    return kInterfaces + service;
}
std::wstring NetbtInterfaceKey(const std::wstring& service) {
    return kNetbtInterfaces + (kNetbtInterfacePrefix + service);
}
std::wstring NetbtAdapterKey(const std::wstring& service) {
    return kNetbtAdapters + service;
}

std::optional<std::wstring> ServiceOfAdapterKey(const std::wstring& keyPath) {
    if (auto service = Wildcard(keyPath, kServices, kAdapterTcpipSuffix)) return service;
    return Wildcard(keyPath, kInterfaces, L"");
}

}  // namespace SettingsSnapshot
