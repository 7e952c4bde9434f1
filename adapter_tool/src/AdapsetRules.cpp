// Argument rules, validation and value encodings of Adapset (no registry access).
#include "AdapsetRules.h"

#include <climits>
#include <cstdio>
#include <cstring>

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

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads one address field at text: 1 to 3 digits, no leading zero, at most 255.
// Returns the position after it, or nullptr when there is no such field.
const char* ReadAddressField(const char* text) {
    if (!IsDigit(text[0])) return nullptr;
    if (text[0] == '0') return text + 1;  // "0" alone; a following digit fails later
    int value = 0;
    int digits = 0;
    while (IsDigit(*text) && digits < 3) {
        value = value * 10 + (*text - '0');
        ++text;
        ++digits;
    }
    return value <= 255 ? text : nullptr;
}

// Reads one dotted-decimal address at text; returns the position after it or nullptr.
const char* ReadAddress(const char* text) {
    for (int field = 0; field < 4; ++field) {
        if (field > 0) {
            if (*text != '.') return nullptr;
            ++text;
        }
        text = ReadAddressField(text);
        if (text == nullptr) return nullptr;
    }
    return text;
}

// The text with control characters shown as '?', so a message stays one line.
std::string Printable(const char* text) {
    std::string shown = text;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return shown;
}

Refusal MakeRefusal(RefusalKind kind, int parameter, size_t limit, const char* text) {
    Refusal refusal;
    refusal.kind = kind;
    refusal.parameter = parameter;
    refusal.otherParameter = parameter;
    refusal.limit = limit;
    refusal.text = text;
    return refusal;
}

// Length and form of one setting; kNoRefusal when both hold.
Refusal CheckSetting(const char* const parameters[kParameterCount], int parameter) {
    const char* text = parameters[parameter];
    const bool isList = parameter >= kNameServer1;
    const size_t limit =
        parameter == kNameServer1 || parameter == kNameServer2 ? kMaxJoinedNameServers : kMaxMultiStringEntry;
    if (strlen(text) > limit) return MakeRefusal(kTooLong, parameter, limit, text);
    if (isList && !IsIpv4AddressList(text)) return MakeRefusal(kNotAnAddressList, parameter, limit, text);
    if (!isList && text[0] != '\0' && !IsIpv4Address(text))
        return MakeRefusal(kNotAnAddress, parameter, limit, text);
    return Refusal();
}

// Combined length of two settings that are stored together, counting the separator
// length only when both are present.
Refusal CheckPair(const char* const parameters[kParameterCount], int first, int second, size_t separator,
                  size_t limit) {
    const size_t a = strlen(parameters[first]);
    const size_t b = strlen(parameters[second]);
    if (a == 0 || b == 0 || a + b + separator <= limit) return Refusal();
    Refusal refusal = MakeRefusal(kTooLongTogether, first, limit, parameters[second]);
    refusal.otherParameter = second;
    return refusal;
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

bool IsIpv4Address(const char* text) {
    const char* end = ReadAddress(text);
    return end != nullptr && *end == '\0';
}

bool IsIpv4AddressList(const char* text) {
    if (*text == '\0') return true;
    for (;;) {
        text = ReadAddress(text);
        if (text == nullptr) return false;
        if (*text == '\0') return true;
        if (*text != ',') return false;
        ++text;
    }
}

Refusal CheckSettings(const char* const parameters[kParameterCount]) {
    for (int parameter = kIpAddress; parameter < kParameterCount; ++parameter) {
        const Refusal refusal = CheckSetting(parameters, parameter);
        if (refusal.kind != kNoRefusal) return refusal;
    }
    const Refusal names = CheckPair(parameters, kNameServer1, kNameServer2, 1, kMaxJoinedNameServers);
    if (names.kind != kNoRefusal) return names;
    return CheckPair(parameters, kWinsServer1, kWinsServer2, 0, kMaxWinsPair);
}

Refusal CheckServiceName(const char* serviceName) {
    if (strlen(serviceName) > kMaxServiceName)
        return MakeRefusal(kTooLong, kAdapterName, kMaxServiceName, serviceName);
    if (serviceName[0] == '\0' || strchr(serviceName, '\\') != nullptr)
        return MakeRefusal(kNotAServiceName, kAdapterName, kMaxServiceName, serviceName);
    return Refusal();
}

RunDecision DecideRun(int argumentCount, const char* const* arguments, const AdapterTable& table) {
    RunDecision decision;
    if (argumentCount <= 0) return decision;
    TakeParameters(argumentCount, arguments, decision.parameters);
    decision.refusal = CheckSettings(decision.parameters);
    if (decision.refusal.kind != kNoRefusal) {
        decision.action = kRefuse;
        return decision;
    }
    decision.serviceName = ResolveAdapter(decision.parameters[kAdapterName], table);
    if (decision.serviceName == nullptr) return decision;
    decision.refusal = CheckServiceName(decision.serviceName);
    decision.action = decision.refusal.kind == kNoRefusal ? kConfigure : kRefuse;
    return decision;
}

std::string RefusalMessage(const Refusal& refusal) {
    const char* name = ParameterName(refusal.parameter);
    const unsigned limit = static_cast<unsigned>(refusal.limit);
    char line[200];
    switch (refusal.kind) {
        case kNoRefusal:
            return std::string();
        case kTooLong:
            if (refusal.parameter == kAdapterName)
                snprintf(line, sizeof line,
                         "Argument adapterName: service name too long (at most %u characters)\n", limit);
            else
                snprintf(line, sizeof line, "Argument %s is too long (at most %u characters)\n", name, limit);
            return line;
        case kTooLongTogether:
            snprintf(line, sizeof line, "Arguments %s and %s are too long together (at most %u characters)\n",
                     name, ParameterName(refusal.otherParameter), limit);
            return line;
        case kNotAnAddress:
            return std::string("Argument ") + name + " is not an IPv4 address: \"" + Printable(refusal.text) +
                   "\"\n";
        case kNotAnAddressList:
            return std::string("Argument ") + name + " is not a list of IPv4 addresses: \"" +
                   Printable(refusal.text) + "\"\n";
        case kNotAServiceName:
            return std::string("Argument adapterName is not a service name: \"") + Printable(refusal.text) +
                   "\"\n";
    }
    return std::string();
}

std::string JoinNameServers(const char* first, const char* second, char separator) {
    std::string joined = first;
    if (first[0] != '\0' && second[0] != '\0') joined += separator;
    joined += second;
    return joined;
}

std::string StringBytes(const char* text) {
    return std::string(text, strlen(text) + 1);
}

std::string MultiStringBytes(const char* text) {
    return std::string(text, strlen(text) + 1) + '\0';
}

std::string MultiStringPairBytes(const char* first, const char* second) {
    return std::string(first, strlen(first) + 1) + std::string(second, strlen(second) + 1) + '\0';
}
