// One adapter's static TCP/IP settings after every check: only Validate makes one, so
// whoever holds it needs to check nothing again.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "Parameters.h"
#include "Refusal.h"

// Limits of what the tool writes: one address value, a joined name-server string, and
// a service name (UTF-16 with terminator in 128 code units).
constexpr size_t kMaxMultiStringEntry = 126;
constexpr size_t kMaxJoinedNameServers = 127;
constexpr size_t kMaxServiceName = 127;

class StaticSettings {
public:
    // Checks the seven settings (parameters[kIpAddress..kWinsServer2]), then the
    // service name; the settings value on success, otherwise nullopt with *refusal
    // naming the first fault. ipAddress and mask: one address; gateway and each WINS
    // server: one address or empty; each name server: an address list or empty.
    static std::optional<StaticSettings> Validate(const char* serviceName,
                                                  const char* const parameters[kParameterCount],
                                                  Refusal* refusal);

    const char* ServiceName() const { return m_values[kAdapterName].c_str(); }
    // A setting by its parameter (kIpAddress..kWinsServer2).
    const char* Value(Parameter parameter) const { return m_values[parameter].c_str(); }

private:
    StaticSettings() = default;
    std::string m_values[kParameterCount];  // kAdapterName holds the service name
};

// Checks the seven settings for form and length; kNoRefusal when they pass.
Refusal CheckSettings(const char* const parameters[kParameterCount]);

// Checks a service name: not empty, no backslash (it is one key name) and within
// kMaxServiceName characters.
Refusal CheckServiceName(const char* serviceName);
