// Text that may hold any character (descriptions, connection names) on standard output.
#pragma once

#include <string>

// Writes text to standard output after what printf wrote before it: with WriteConsoleW
// when standard output is a console; otherwise in the console's output code page (the
// ANSI code page when there is no console), line feeds as printf writes them.
void PrintText(const std::wstring& text);

// Text from a file, the registry or the network as one field of a console line: its
// control characters written out (WinBase::PrintableText), in the ANSI code
// page for printf. The narrow form takes ANSI text.
std::string ConsoleField(const std::wstring& text);
std::string ConsoleField(const std::string& text);
