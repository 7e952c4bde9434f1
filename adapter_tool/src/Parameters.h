// Adapset's eight positional parameters: their order, names and defaults, and how the
// arguments after the program name fill them.
#pragma once

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

// The parameter's name as the usage line spells it; "?" for no parameter.
const char* ParameterName(int parameter);

// Fills the eight parameters from the arguments after the program name (count >= 1):
// one argument is the address of adapter 1; more fill in order, extra ones ignored;
// missing ones take their default; a leading "*" stands for the default, except in
// ipAddress. The pointers refer to the arguments or to constant texts.
void TakeParameters(int argumentCount, const char* const* arguments, const char* parameters[kParameterCount]);
