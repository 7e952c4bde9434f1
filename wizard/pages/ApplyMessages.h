#pragma once
#include <optional>
#include <string>

#include "apply/ApplyFailure.h"
#include "apply/NetworkShellCommands.h"
#include "apply/WayBackOutcome.h"

// The texts of the wizard's messages about a failed apply and about the way back, from
// the resources (Unicode).

// What failed for the connection, then how far putting back got: the machine as it
// was, or exactly what was not put back and how to finish by hand.
std::wstring ApplyFailureText(const std::wstring& connection, const ApplyFailure& failure,
                              const WayBackOutcome& putBack);

// What the way back put back for the connection (its earlier address, or DHCP) and that
// no restart is needed; or, when the live step did not complete, that a restart is.
std::wstring WayBackText(const std::wstring& connection, const std::optional<PreviousAddress>& previous,
                         const WayBackOutcome& outcome);
