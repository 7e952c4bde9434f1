// Adapset's working half: writes one adapter's static TCP/IP settings into the TCP/IP
// and NetBT registry locations, then notifies the DHCP client.
#pragma once

#include <windows.h>

// Writes the settings for the adapter's service name and notifies the DHCP client.
// Returns 0 after a successful notification; otherwise the count of characters of
// the failure message printed, or kRefusedStatus when the input was refused before
// anything was written.
int ConfigureAdapter(const char* serviceName, const char* ipAddress, const char* mask, const char* gateway,
                     const char* nameServer1, const char* nameServer2, const char* winsServer1,
                     const char* winsServer2);

// Writes a one-entry REG_MULTI_SZ value; reports a failure on standard output.
void SetMultiStringValue(HKEY key, const char* valueName, const char* text);

// Writes a two-entry REG_MULTI_SZ value, first then second; reports a failure.
void SetMultiStringPairValue(HKEY key, const char* valueName, const char* first, const char* second);

// Writes a REG_SZ value; reports a failure on standard output.
void SetStringValue(HKEY key, const char* valueName, const char* text);
