// Adapset /check: the connection checks against one adapter's configured gateway and
// first DNS server.
#pragma once

#include <string>

#include "AdapterNumbers.h"

// The first argument that checks the connection instead of configuring.
extern const char kCheckSwitch[];

// The statuses of a check that did not pass: something did not answer (or has no
// address configured); everything answered, but the DNS server does not resolve.
constexpr int kNoAnswerStatus = 1;
constexpr int kDnsDoesNotResolveStatus = 2;

// Finds the adapter (number, service name or connection name, as configuring does),
// reads its configured gateway and first DNS server (the static values, else those
// DHCP gave it) and runs both checks at once, printing one line each: "Gateway
// <address>: answered" or "no answer" ("Gateway: none configured" without one); "DNS
// server <address>: answered" only for a NOERROR reply, else "no answer" or what its
// result code says ("refused (REFUSED)", ...). Returns 0 when both passed,
// kDnsDoesNotResolveStatus when both answered but the DNS server does not resolve,
// kNoAnswerStatus otherwise; for an adapter that cannot be found it prints "Cannot
// locate adapter <name>" and returns the count of characters printed, as configuring
// does. Changes nothing.
int CheckConnection(const char* adapterName, const std::wstring& wideName, const AdapterTable& table);
