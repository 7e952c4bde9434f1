#pragma once
#include <optional>
#include <string>

#include "apply/NetworkShellCommands.h"
#include "settings_snapshot/AllowList.h"
#include "settings_snapshot/Failure.h"
#include "settings_snapshot/Snapshot.h"

// Puts one of the wizard's snapshot files back: read (bounded), parsed with the allow
// list (what our snapshots hold, for the allowed adapters), what it overwrites saved as
// a snapshot of its own (so the restore can be undone), applied all or nothing. The snapshot put back on
// success; otherwise why nothing was restored (a file that is no snapshot names its path).
SettingsSnapshot::Outcome<SettingsSnapshot::Snapshot> RestoreSnapshotFile(
    const std::wstring& path, const SettingsSnapshot::AllowList& allowed);

// The service's address settings as a snapshot holds them: the interface key when it
// holds them (today's layout), else the per-service TCP/IP key. DHCP when EnableDHCP is
// non-zero, or, without it, when there is no address; the first entry of each address
// list and the DNS servers of NameServer (comma or blank separated). nullopt when the
// snapshot holds neither key's address or EnableDHCP, or a static one without address.
std::optional<PreviousAddress> PreviousAddressIn(const SettingsSnapshot::Snapshot& snapshot,
                                                 const std::wstring& service);
