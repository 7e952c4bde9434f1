// The registry keys that hold a network adapter's TCP/IP settings (below
// HKEY_LOCAL_MACHINE): what snapshots of adapter settings name, and nothing else.
#pragma once
#include <optional>
#include <string>

#include "settings_snapshot/KeyFilter.h"

namespace SettingsSnapshot {

// The TCP/IP parameters key, shared by every adapter.
extern const wchar_t kTcpipParametersKey[];

// The keys of one adapter by its service name: the per-service TCP/IP key and the
// interface key (the two adapter keys), the NetBT interface and adapter keys.
std::wstring AdapterTcpipKey(const std::wstring& service);
std::wstring TcpipInterfaceKey(const std::wstring& service);
std::wstring NetbtInterfaceKey(const std::wstring& service);
std::wstring NetbtAdapterKey(const std::wstring& service);

// The service name in the path of one of the two adapter keys; nullopt for any other key.
std::optional<std::wstring> ServiceOfAdapterKey(const std::wstring& keyPath);

}  // namespace SettingsSnapshot
