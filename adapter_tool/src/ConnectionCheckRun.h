// Adapset /check: the connection checks against one adapter's configured gateway and
// first DNS server.
#pragma once

#include <string>

#include "AdapterNumbers.h"

// The first argument that checks the connection instead of configuring.
extern const char kCheckSwitch[];

// Finds the adapter (number, service name or connection name, as configuring does),
// reads its configured gateway and first DNS server (the static values, else those
// DHCP gave it) and runs both checks, printing one line each: "Gateway <address>:
// answered" or "no answer" ("Gateway: none configured" without one), likewise "DNS
// server ...". Returns 0 when both answered, 1 otherwise; for an adapter that cannot be
// found it prints "Cannot locate adapter <name>" and returns the count of characters
// printed, as configuring does. Changes nothing.
int CheckConnection(const char* adapterName, const std::wstring& wideName, const AdapterTable& table);
