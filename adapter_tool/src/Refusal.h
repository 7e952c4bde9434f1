// Why Adapset refused its input, and the one line that tells the user.
#pragma once

#include <cstddef>
#include <string>

#include "Parameters.h"

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
    kNotAServiceName,
    kTooManyRestoreArguments,
    kCheckArguments
};

// One refusal: its kind, the parameter(s) it names, the limit and the offending text.
struct Refusal {
    RefusalKind kind = kNoRefusal;
    int parameter = kAdapterName;
    int otherParameter = kAdapterName;
    size_t limit = 0;
    std::string text;  // a copy: the refused text may be one the run worked out
};

// A refusal of the given kind for one parameter.
Refusal MakeRefusal(RefusalKind kind, int parameter, size_t limit, const char* text);

// The one-line message (ending in a line feed) that reports a refusal; empty for
// kNoRefusal. Control characters of the text show as '?'.
std::string RefusalMessage(const Refusal& refusal);
