// Parameters, defaults and the "*" rule of Adapset.
#include "Parameters.h"

const char kDefaultMask[] = "255.255.255.0";

namespace {

const char* const kParameterNames[kParameterCount] = {
    "adapterName", "ipAddress", "mask", "gateway", "nameServer1", "nameServer2", "winsServer1", "winsServer2",
};

// Value of a parameter that is not given or given as "*"; adapterName "1" is adapter 1.
const char* DefaultValue(int parameter) {
    if (parameter == kAdapterName) return "1";
    if (parameter == kMask) return kDefaultMask;
    return "";
}

}  // namespace

const char* ParameterName(int parameter) {
    return parameter >= 0 && parameter < kParameterCount ? kParameterNames[parameter] : "?";
}

void TakeParameters(int argumentCount, const char* const* arguments,
                    const char* parameters[kParameterCount]) {
    for (int i = 0; i < kParameterCount; ++i) parameters[i] = DefaultValue(i);
    if (argumentCount == 1) {
        parameters[kIpAddress] = arguments[0];
        return;
    }
    for (int i = 0; i < argumentCount && i < kParameterCount; ++i) {
        const bool omitted = i != kIpAddress && arguments[i][0] == '*';
        parameters[i] = omitted ? DefaultValue(i) : arguments[i];
    }
}
