// The bytes Adapset hands to the registry for each kind of value.
#pragma once

#include <windows.h>

#include <string>

// The two name servers joined by the separator; only the non-empty ones are used.
std::string JoinNameServers(const char* first, const char* second, char separator);

// REG_SZ bytes: the text and one zero.
std::string StringBytes(const char* text);

// REG_MULTI_SZ bytes of a one-entry list: the text, its zero and the closing zero.
std::string MultiStringBytes(const char* text);

// REG_MULTI_SZ bytes of a two-entry list, in order, closed by one more zero.
std::string MultiStringPairBytes(const char* first, const char* second);

// REG_DWORD bytes: the number, four bytes little-endian.
std::string DwordBytes(DWORD number);
