// Validation of Adapset's settings and service name.
#include "StaticSettings.h"

#include <cstring>

#include "AddressValidation.h"

namespace {

// What form a setting must have.
enum class Form { Address, AddressOrEmpty, AddressListOrEmpty };

Form FormOf(int parameter) {
    switch (parameter) {
        case kIpAddress:
        case kMask:
            return Form::Address;
        case kNameServer1:
        case kNameServer2:
            return Form::AddressListOrEmpty;
        default:  // gateway and each WINS server: NetBT takes one address per entry
            return Form::AddressOrEmpty;
    }
}

// Length and form of one setting; kNoRefusal when both hold.
Refusal CheckSetting(const char* const parameters[kParameterCount], int parameter) {
    const char* text = parameters[parameter];
    const Form form = FormOf(parameter);
    const size_t limit = form == Form::AddressListOrEmpty ? kMaxJoinedNameServers : kMaxMultiStringEntry;
    if (strlen(text) > limit) return MakeRefusal(kTooLong, parameter, limit, text);
    if (form == Form::AddressListOrEmpty) {
        if (!IsIpv4AddressList(text)) return MakeRefusal(kNotAnAddressList, parameter, limit, text);
    } else if (!(form == Form::AddressOrEmpty && text[0] == '\0') && !IsIpv4Address(text)) {
        return MakeRefusal(kNotAnAddress, parameter, limit, text);
    }
    return Refusal();
}

// The two name servers joined by one separator must fit the joined limit.
Refusal CheckNameServerPair(const char* const parameters[kParameterCount]) {
    const size_t a = strlen(parameters[kNameServer1]);
    const size_t b = strlen(parameters[kNameServer2]);
    if (a == 0 || b == 0 || a + b + 1 <= kMaxJoinedNameServers) return Refusal();
    Refusal refusal =
        MakeRefusal(kTooLongTogether, kNameServer1, kMaxJoinedNameServers, parameters[kNameServer2]);
    refusal.otherParameter = kNameServer2;
    return refusal;
}

}  // namespace

Refusal CheckSettings(const char* const parameters[kParameterCount]) {
    for (int parameter = kIpAddress; parameter < kParameterCount; ++parameter) {
        const Refusal refusal = CheckSetting(parameters, parameter);
        if (refusal.kind != kNoRefusal) return refusal;
    }
    return CheckNameServerPair(parameters);
}

Refusal CheckServiceName(const char* serviceName) {
    if (strlen(serviceName) > kMaxServiceName)
        return MakeRefusal(kTooLong, kAdapterName, kMaxServiceName, serviceName);
    if (serviceName[0] == '\0' || strchr(serviceName, '\\') != nullptr)
        return MakeRefusal(kNotAServiceName, kAdapterName, kMaxServiceName, serviceName);
    return Refusal();
}

std::optional<StaticSettings> StaticSettings::Validate(const char* serviceName,
                                                       const char* const parameters[kParameterCount],
                                                       Refusal* refusal) {
    *refusal = CheckSettings(parameters);
    if (refusal->kind == kNoRefusal) *refusal = CheckServiceName(serviceName);
    if (refusal->kind != kNoRefusal) return std::nullopt;
    StaticSettings settings;
    settings.m_values[kAdapterName] = serviceName;
    for (int parameter = kIpAddress; parameter < kParameterCount; ++parameter)
        settings.m_values[parameter] = parameters[parameter];
    return settings;
}
