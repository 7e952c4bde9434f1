// Argument rules of Adapset: positional parameters, defaults and the "*" rule,
// validation of addresses and lengths, adapter numbers and the value encodings.
// Nothing here touches the registry or the process, so it runs in-process in tests.
#pragma once

#include <string>
#include <vector>

// Positions of the eight parameters, in the order of the usage line.
enum Parameter {
    kAdapterName,
    kIpAddress,
    kMask,
    kGateway,
    kNameServer1,
    kNameServer2,
    kWinsServer1,
    kWinsServer2,
    kParameterCount
};

// Mask used when none is given or it is given as "*".
extern const char kDefaultMask[];

// Limits of what the tool writes: one multi-string entry, the two WINS addresses
// together, a joined name-server string, and a service name (UTF-16 with terminator
// in 128 code units).
constexpr size_t kMaxMultiStringEntry = 126;
constexpr size_t kMaxWinsPair = 125;
constexpr size_t kMaxJoinedNameServers = 127;
constexpr size_t kMaxServiceName = 127;

// Exit status of a run whose input was refused (ERROR_BAD_ARGUMENTS); larger than any
// status made from a count of printed characters, so it is never mistaken for one.
constexpr int kRefusedStatus = 160;

// Why input was refused; kNoRefusal when it is accepted.
enum RefusalKind {
    kNoRefusal,
    kTooLong,
    kTooLongTogether,
    kNotAnAddress,
    kNotAnAddressList,
    kNotAServiceName
};

// One refusal: its kind, the parameter(s) it names, the limit and the offending text.
struct Refusal {
    RefusalKind kind = kNoRefusal;
    int parameter = kAdapterName;
    int otherParameter = kAdapterName;
    size_t limit = 0;
    const char* text = "";
};

// The service names of the adapters, entry n-1 for adapter number n.
struct AdapterTable {
    std::vector<std::string> serviceNames;
};

// What a run does once the arguments are read.
enum RunAction { kShowUsage, kRefuse, kConfigure };

// The outcome of reading the command line: the action, the eight parameters after
// defaulting, the resolved service name (kConfigure) and the refusal (kRefuse).
struct RunDecision {
    RunAction action = kShowUsage;
    const char* parameters[kParameterCount] = {};
    const char* serviceName = nullptr;
    Refusal refusal;
};

// The parameter's name as the usage line spells it.
const char* ParameterName(int parameter);

// Fills the eight parameters from the arguments after the program name (count >= 1):
// one argument is the address of adapter 1; more fill in order, extra ones ignored;
// missing ones take their default; a leading "*" stands for the default, except in
// ipAddress. The pointers refer to the arguments or to constant texts.
void TakeParameters(int argumentCount, const char* const* arguments, const char* parameters[kParameterCount]);

// The decimal digits of text read as one number, other characters skipped; saturates
// at INT_MAX instead of overflowing, so a huge number is merely out of range.
int ParseAdapterNumber(const char* text);

// True when the adapter name is an adapter number (its first character is a digit).
bool IsAdapterNumber(const char* adapterName);

// Service name for adapterName: entry n-1 of the table for a number n in range, the
// name itself otherwise; nullptr for a number out of range (the usage text is shown).
const char* ResolveAdapter(const char* adapterName, const AdapterTable& table);

// True for dotted-decimal IPv4 text: four fields 0..255, digits only, no leading zeros.
bool IsIpv4Address(const char* text);

// True for empty text or a comma-separated list of IPv4 addresses.
bool IsIpv4AddressList(const char* text);

// Checks the seven settings (all parameters but adapterName) for form and length.
Refusal CheckSettings(const char* const parameters[kParameterCount]);

// Checks a service name: not empty, no backslash (it is one key name) and within
// kMaxServiceName characters.
Refusal CheckServiceName(const char* serviceName);

// Reads the command line into a decision: show the usage, refuse, or configure.
RunDecision DecideRun(int argumentCount, const char* const* arguments, const AdapterTable& table);

// The one-line message (ending in a line feed) that reports a refusal.
std::string RefusalMessage(const Refusal& refusal);

// The two name servers joined by the separator; only the non-empty ones are used.
std::string JoinNameServers(const char* first, const char* second, char separator);

// REG_SZ bytes: the text and one zero.
std::string StringBytes(const char* text);

// REG_MULTI_SZ bytes of a one-entry list: the text, its zero and the closing zero.
std::string MultiStringBytes(const char* text);

// REG_MULTI_SZ bytes of a two-entry list, in order, closed by one more zero.
std::string MultiStringPairBytes(const char* first, const char* second);
