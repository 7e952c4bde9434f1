// The exact contents of the adapter snapshots our programs write: per key, the value
// names, types and sizes they capture, for the adapters of one machine only.
#pragma once
#include <vector>

#include "settings_snapshot/AllowList.h"

namespace SettingsSnapshot {

// Longest list or text a snapshot value may hold, in bytes.
constexpr size_t kMaxSnapshotTextBytes = 4096;

class AdapterAllowList : public AllowList {
public:
    // Allows the keys of the adapters with these service names (the machine's
    // NetworkCards; compared without regard to case) and the TCP/IP parameters key.
    explicit AdapterAllowList(std::vector<std::wstring> services);

    // The TCP/IP parameters key; the per-service TCP/IP key, interface key, NetBT
    // interface key and NetBT adapter key of an allowed service. Nothing else.
    std::optional<std::wstring> KeyFault(const std::wstring& keyPath) const override;
    // In the two adapter keys IPAddress, SubnetMask, DefaultGateway (REG_MULTI_SZ),
    // NameServer (REG_SZ), EnableDHCP (REG_DWORD, 4 bytes); in the parameters key
    // NameServer; in the NetBT interface key NameServerList (REG_MULTI_SZ); in the NetBT
    // adapter key NameServer and NameServerBackup (REG_SZ). Text at most
    // kMaxSnapshotTextBytes, whole UTF-16 units; any of these names may be absent.
    std::optional<std::wstring> ValueFault(const std::wstring& keyPath,
                                           const SnapshotValue& value) const override;

private:
    std::vector<std::wstring> m_services;
};

}  // namespace SettingsSnapshot
