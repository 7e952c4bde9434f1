#pragma once
#include <string>

// Command lines for CreateProcessW, written so that the started program's C runtime
// (and CommandLineToArgvW) reads back exactly the arguments meant: each backslash run
// before a quote, and before the closing quote, doubled; each quote as \".

// The text as one argument in quotes, whatever it holds: name="..." for the network
// shell, a program's path.
std::wstring QuotedArgument(const std::wstring& text);

// The text as one argument: unchanged when it needs no quotes, otherwise as
// QuotedArgument (empty text, a blank, a tab, a line break or a quote in it).
std::wstring CommandLineArgument(const std::wstring& text);

// The whole command line: the program's path quoted, then the parameters as given (built
// with the two above).
std::wstring CommandLine(const std::wstring& program, const std::wstring& parameters);
