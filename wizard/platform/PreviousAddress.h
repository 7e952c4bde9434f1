#pragma once
#include <optional>
#include <string>

#include "apply/NetworkShellCommands.h"
#include "settings_snapshot/Snapshot.h"

// The service's address settings as a snapshot holds them: the interface key when it
// holds them (today's layout), else the per-service TCP/IP key. DHCP when EnableDHCP is
// non-zero, or, without it, when there is no address; the first entry of each address
// list and the DNS servers of NameServer (comma or blank separated). nullopt when the
// snapshot holds neither key's address or EnableDHCP, or a static one without address.
std::optional<PreviousAddress> PreviousAddressIn(const SettingsSnapshot::Snapshot& snapshot,
                                                 const std::wstring& service);
