// The registry keys and values that hold a network adapter's TCP/IP settings (below
// HKEY_LOCAL_MACHINE): the one table that snapshots, their allow-list, the wizard's
// store and the tool's plan take key paths, value names, types and sizes from.
// Changing which values a snapshot holds is an edit of kAdapterValues.
#pragma once
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "settings_snapshot/KeyFilter.h"
#include "settings_snapshot/RegistryCapture.h"

namespace SettingsSnapshot {

// The keys of an adapter's settings, as bits, so that a value can live in several.
enum AdapterKey : unsigned {
    kTcpipParameters = 1,  // Tcpip\Parameters, shared by every adapter
    kAdapterTcpip = 2,     // <service>\Parameters\Tcpip (older Windows)
    kTcpipInterface = 4,   // Tcpip\Parameters\Interfaces\<service>
    kNetbtInterface = 8,   // NetBT\Parameters\Interfaces\Tcpip_<service>
    kNetbtAdapter = 16,    // NetBT\Adapters\<service>
};
// The two keys that hold the adapter's addresses (either may be missing).
constexpr unsigned kAdapterAddressKeys = kAdapterTcpip | kTcpipInterface;
// Every key, in the order snapshots list them.
constexpr AdapterKey kAdapterKeyOrder[] = {kTcpipParameters, kAdapterTcpip, kTcpipInterface, kNetbtInterface,
                                           kNetbtAdapter};

// Longest list or text a snapshot value may hold, in bytes.
constexpr size_t kMaxSnapshotTextBytes = 4096;

// One value our programs write for an adapter, and so save before they write it.
struct AdapterValue {
    const char* name;  // ASCII
    DWORD type;
    size_t maxBytes;  // a REG_DWORD is exactly four bytes
    unsigned keys;    // the AdapterKey bits of the keys that hold it
    bool winsOnly;    // written only when WINS servers are given
};

constexpr AdapterValue kIPAddress{"IPAddress", REG_MULTI_SZ, kMaxSnapshotTextBytes, kAdapterAddressKeys,
                                  false};
constexpr AdapterValue kSubnetMask{"SubnetMask", REG_MULTI_SZ, kMaxSnapshotTextBytes, kAdapterAddressKeys,
                                   false};
constexpr AdapterValue kDefaultGateway{"DefaultGateway", REG_MULTI_SZ, kMaxSnapshotTextBytes,
                                       kAdapterAddressKeys, false};
constexpr AdapterValue kAdapterNameServer{"NameServer", REG_SZ, kMaxSnapshotTextBytes, kAdapterAddressKeys,
                                          false};
constexpr AdapterValue kEnableDhcp{"EnableDHCP", REG_DWORD, 4, kAdapterAddressKeys, false};
constexpr AdapterValue kParametersNameServer{"NameServer", REG_SZ, kMaxSnapshotTextBytes, kTcpipParameters,
                                             false};
constexpr AdapterValue kWinsNameServerList{"NameServerList", REG_MULTI_SZ, kMaxSnapshotTextBytes,
                                           kNetbtInterface, false};
constexpr AdapterValue kWinsNameServer{"NameServer", REG_SZ, kMaxSnapshotTextBytes, kNetbtAdapter, true};
constexpr AdapterValue kWinsNameServerBackup{"NamerServerBackup", REG_SZ, kMaxSnapshotTextBytes,
                                             kNetbtAdapter, true};

// The table: every value a snapshot may hold, in the order snapshots list them.
constexpr const AdapterValue* kAdapterValues[] = {
    &kIPAddress,          &kSubnetMask,     &kDefaultGateway,
    &kAdapterNameServer,  &kEnableDhcp,     &kParametersNameServer,
    &kWinsNameServerList, &kWinsNameServer, &kWinsNameServerBackup};

// The TCP/IP parameters key, shared by every adapter.
extern const wchar_t kTcpipParametersKey[];

// The path of one of an adapter's keys by its service name (ignored for the parameters
// key), wide or in ASCII-compatible narrow text.
std::wstring AdapterKeyPath(AdapterKey key, const std::wstring& service);
std::string AdapterKeyPath(AdapterKey key, const std::string& service);

// The keys of one adapter by its service name: the per-service TCP/IP key and the
// interface key (the two adapter keys), the NetBT interface and adapter keys.
std::wstring AdapterTcpipKey(const std::wstring& service);
std::wstring TcpipInterfaceKey(const std::wstring& service);
std::wstring NetbtInterfaceKey(const std::wstring& service);
std::wstring NetbtAdapterKey(const std::wstring& service);

// The service name in the path of one of the two adapter keys; nullopt for any other key.
std::optional<std::wstring> ServiceOfAdapterKey(const std::wstring& keyPath);

// The value's name as UTF-16.
std::wstring WideName(const AdapterValue& value);

// What a configuration of the adapter may change, as capture requests: every key in
// order with the names of the table's values it holds (those written only with WINS
// servers when withWins). Keys without such values are left out.
std::vector<KeyRequest> AdapterRequests(const std::wstring& service, bool withWins);

}  // namespace SettingsSnapshot
