// Adapset's working half: writes one adapter's static TCP/IP settings into the TCP/IP
// and NetBT registry locations, then notifies the DHCP client.
#pragma once

#include "AccessRefusal.h"
#include "StaticSettings.h"

// Exit status of a run stopped because a key that exists refused to open for writing.
constexpr int kAccessRefusedStatus = 5;  // ERROR_ACCESS_DENIED

// Opens every location of the plan for setting values, then writes them all and
// notifies the DHCP client. Returns 0 after a successful notification; the count of
// characters of "Cannot locate adapter" (neither adapter key exists) or "Adapter
// configuration failed" (notification failed; the written values stay); or, when a
// key that exists cannot be opened, kAccessRefusedStatus (or the open's status for
// another error) after one line naming the key; or kSnapshotFailedStatus when the
// snapshot of the values it will change cannot be saved. Nothing is written and nobody
// is notified unless every key that exists was opened and the snapshot saved. The
// status tells whether an open was refused for lack of rights.
RunStatus ConfigureAdapter(const StaticSettings& settings);
