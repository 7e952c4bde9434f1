#pragma once
#include <string>

// The number in decimal, with leading zeros up to `width` digits; without the C
// library's wide printf (std::to_wstring, swprintf), which adds about 20 KB to the
// program.
std::wstring ZeroPadded(unsigned value, size_t width = 1);
