// Adapset /check: the connection checks against one adapter's configured gateway and
// first DNS server.
#pragma once

#include <optional>
#include <string>

// For the adapter the run decision located (service, in the ANSI code page; nullopt
// when adapterName, as typed, located none), reads its configured gateway and first DNS server (the static
// values, else those DHCP gave it) and runs both checks, printing one line each: "Gateway <address>:
// answered" or "no answer" ("Gateway: none configured" without one), likewise "DNS
// server ...". Returns 0 when both answered, 1 otherwise; for an adapter that cannot be
// found (or has neither TCP/IP key) it prints "Cannot locate adapter <name>" and returns
// the count of characters printed, as configuring does. Changes nothing.
int CheckConnection(const std::optional<std::string>& service, const char* adapterName);
