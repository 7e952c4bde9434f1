#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "adapter_inventory/AdapterInventory.h"
#include "apply/NetworkShellCommands.h"
#include "settings_snapshot/AllowList.h"
#include "settings_snapshot/SnapshotHistory.h"

// The saved settings "TarveloIP.exe /restore" offers, each as one line a person reads.

// What a snapshot holds for its adapter: the static address, 「自動取得 (DHCP)」, or
// 「無法讀取」 when the file could not be read or is not one of ours.
std::wstring HeldText(bool readable, const std::optional<PreviousAddress>& held);

// "2026/12/09 17:05:03\t乙太網路\t192.168.5.20", with "\t最初的設定" for an original.
std::wstring ChoiceLine(const SYSTEMTIME& localTime, const std::wstring& adapterName,
                        const std::wstring& held, bool original);

struct RestoreChoice {
    SettingsSnapshot::HistoryEntry entry;
    std::wstring line;
};

// One choice per entry, in their order: each file read (bounded, refused whole when the
// allow-list refuses it) for what it holds; adapters named as the user knows them (the
// service name when the machine has no such adapter). Changes nothing.
std::vector<RestoreChoice> ReadChoices(const std::vector<SettingsSnapshot::HistoryEntry>& entries,
                                       const std::vector<AdapterInventory::Adapter>& adapters,
                                       const SettingsSnapshot::AllowList& allowed);
