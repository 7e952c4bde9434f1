// Adapter numbers of Adapset.
#include "AdapterNumbers.h"

#include <climits>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int ParseAdapterNumber(const char* text) {
    int value = 0;
    for (; *text != '\0'; ++text) {
        if (!IsDigit(*text)) continue;
        const int digit = *text - '0';
        value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
    }
    return value;
}

bool IsAdapterNumber(const char* adapterName) {
    return IsDigit(adapterName[0]);
}

const char* ResolveAdapter(const char* adapterName, const AdapterTable& table) {
    if (!IsAdapterNumber(adapterName)) return adapterName;
    const int number = ParseAdapterNumber(adapterName);
    if (number < 1 || static_cast<size_t>(number) > table.serviceNames.size()) return nullptr;
    return table.serviceNames[number - 1].c_str();
}
