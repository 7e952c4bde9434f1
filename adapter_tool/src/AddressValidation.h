// The address forms Adapset accepts: dotted-decimal IPv4 text and comma lists of it.
#pragma once

// True for dotted-decimal IPv4 text: four fields 0..255, digits only, no leading zeros.
bool IsIpv4Address(const char* text);

// True for empty text or a comma-separated list of IPv4 addresses.
bool IsIpv4AddressList(const char* text);

// The address of dotted-decimal IPv4 text in network byte order (first field in the
// lowest byte, as the platform's address structures hold it); 0xFFFFFFFF (no address)
// for text that IsIpv4Address refuses.
unsigned long Ipv4NetworkOrder(const char* text);
