// Adapter numbers and names of Adapset.
#include "AdapterNumbers.h"

#include <climits>

#include "adapter_inventory/AdapterChoice.h"
#include "win_base/TextConversion.h"

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

std::optional<std::string> ResolveAdapter(const char* adapterName, const std::wstring& wideName,
                                          const AdapterTable& table) {
    if (IsAdapterNumber(adapterName)) {
        const int number = ParseAdapterNumber(adapterName);
        if (number < 1 || static_cast<size_t>(number) > table.adapters.size()) return std::nullopt;
        return WinBase::ExactNarrow(table.adapters[number - 1].serviceName);
    }
    // Not a number, so the inventory matches it by service name, then connection name.
    const std::optional<size_t> found = AdapterInventory::FindAdapter(table.adapters, wideName);
    return found ? WinBase::ExactNarrow(table.adapters[*found].serviceName) : std::string(adapterName);
}
