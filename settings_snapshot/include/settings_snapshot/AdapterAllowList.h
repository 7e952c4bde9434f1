// The exact contents of the adapter snapshots our programs write: per key, the value
// names, types and sizes they capture, for the adapters of one machine only.
#pragma once
#include <vector>

#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/AllowList.h"

namespace SettingsSnapshot {

class AdapterAllowList : public AllowList {
public:
    // Allows the keys of the adapters with these service names (the machine's
    // NetworkCards; compared without regard to case) and the TCP/IP parameters key.
    explicit AdapterAllowList(std::vector<std::wstring> services);

    // The TCP/IP parameters key; the per-service TCP/IP key, interface key, NetBT
    // interface key and NetBT adapter key of an allowed service. Nothing else.
    std::optional<std::wstring> KeyFault(const std::wstring& keyPath) const override;
    // The values of kAdapterValues in the keys that hold them, each with its type: a
    // REG_DWORD of four bytes, text of whole UTF-16 units up to the value's size bound.
    // Any of these names may be absent.
    std::optional<std::wstring> ValueFault(const std::wstring& keyPath,
                                           const SnapshotValue& value) const override;

private:
    std::vector<std::wstring> m_services;
};

}  // namespace SettingsSnapshot
