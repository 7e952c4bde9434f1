// The address forms Adapset accepts: dotted-decimal IPv4 text and comma lists of it.
#pragma once

// True for dotted-decimal IPv4 text: four fields 0..255, digits only, no leading zeros.
bool IsIpv4Address(const char* text);

// True for empty text or a comma-separated list of IPv4 addresses.
bool IsIpv4AddressList(const char* text);
