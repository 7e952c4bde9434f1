// Adapset /check: the connection checks against one adapter's configured gateway and
// first DNS server.
#pragma once

#include <optional>
#include <string>

// The statuses of a check that did not pass: something did not answer (or has no
// address configured); everything answered, but the DNS server does not resolve.
constexpr int kNoAnswerStatus = 1;
constexpr int kDnsDoesNotResolveStatus = 2;

// For the adapter the run decision located (service, in the ANSI code page; nullopt
// when adapterName, as typed, located none), reads its configured gateway and first DNS
// server (the static values, else those DHCP gave it) and runs both checks at once,
// printing one line each: "Gateway <address>: answered" or "no answer" ("Gateway: none
// configured" without one); "DNS server <address>: answered" only for a NOERROR reply,
// else "no answer" or what its result code says ("refused (REFUSED)", ...). Returns 0
// when both passed, kDnsDoesNotResolveStatus when both answered but the DNS server does
// not resolve, kNoAnswerStatus otherwise; for an adapter that cannot be found (or has
// neither TCP/IP key) it prints "Cannot locate adapter <name>" and returns the count of
// characters printed, as configuring does. Changes nothing.
int CheckConnection(const std::optional<std::string>& service, const char* adapterName);
