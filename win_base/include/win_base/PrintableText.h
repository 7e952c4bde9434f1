// The one rule both programs apply to text that comes from a file, the registry or the
// network before it reaches a console line, the log, a message box or a command line.
#pragma once

#include <string>

namespace WinBase {

// The text with every control character written out, so it can neither break a line nor
// steer a terminal: C0 controls, DEL and C1 controls as "\xNN"; the line and paragraph
// separators and the direction marks, embeddings and isolates as "\uNNNN". Everything
// else is kept as it is. Never fails.
std::wstring PrintableText(const std::wstring& text);

}  // namespace WinBase
