// Refusal messages of Adapset.
#include "Refusal.h"

#include <cstdio>

namespace {

// The text with control characters shown as '?', so a message stays one line.
std::string Printable(const char* text) {
    std::string shown = text;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return shown;
}

}  // namespace

Refusal MakeRefusal(RefusalKind kind, int parameter, size_t limit, const char* text) {
    Refusal refusal;
    refusal.kind = kind;
    refusal.parameter = parameter;
    refusal.otherParameter = parameter;
    refusal.limit = limit;
    refusal.text = text;
    return refusal;
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
            return std::string("Argument ") + name + " is not an IPv4 address: \"" +
                   Printable(refusal.text.c_str()) + "\"\n";
        case kNotAnAddressList:
            return std::string("Argument ") + name + " is not a list of IPv4 addresses: \"" +
                   Printable(refusal.text.c_str()) + "\"\n";
        case kNotAServiceName:
            return std::string("Argument adapterName is not a service name: \"") +
                   Printable(refusal.text.c_str()) + "\"\n";
        case kTooManyRestoreArguments:
            return "Too many arguments: adapset /restore [snapshot file | original adapterName]\n";
        case kCheckArguments:
            return "Usage: adapset /check adapterName\n";
    }
    return std::string();
}
