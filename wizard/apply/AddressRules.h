#pragma once
#include <windows.h>

#include <string>

// The fixed part of the service's TCP/IP configuration and the rule that derives
// the rest of it from the one address the user types. Texts are narrow ANSI text.

extern const char FixedSubnetMask[];       // "255.255.255.0"
extern const char GatewaySuffix[];         // ".254"
extern const char ProviderDnsPrimary[];    // preferred DNS server
extern const char ProviderDnsSecondary[];  // alternate DNS server
extern const char ProviderDnsList[];       // both servers joined by one comma, no blank

// The text between the last two dots of an address text: "c" for "a.b.c.d", "a" for
// "a.b", the empty text when there is no dot.
std::string ExtractThirdField(const std::string& addressText);

// The address text without its last field, followed by GatewaySuffix:
// "a.b.c.254" for "a.b.c.d", ".254" when there is no dot.
std::string DeriveGateway(const std::string& addressText);

// Whether the text is strict dotted-decimal IPv4: four plain decimal fields 0-255, no
// sign, blank or leading zero, nothing before or after.
bool IsStrictIpv4(const std::string& text);

// Readiness test: true exactly when the text is a complete, usable host address:
// four plain decimal fields (no sign, no leading zero); first 1-223 and not 127;
// second 0-255; third 1-255; fourth 1-253 (neither the network address, the
// broadcast address nor the gateway's own .254).
bool IsUsableHostAddress(const std::string& addressText);

// Where an icon of the given size is drawn centred in a client area (integer
// division truncating toward zero, as for a minimized window).
POINT CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);
