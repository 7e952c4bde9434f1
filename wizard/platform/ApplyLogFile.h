#pragma once
#include <optional>
#include <string>

#include "apply/ApplySequence.h"

// The apply log as a UTF-8 text file: each line is appended with the local time in
// front, its control characters written out (WinBase::PrintableText), so that
// no text in it can start another line. The file is opened for each line and closed again; a line that cannot
// be written (no folder, file locked, a link or second name at the file's path, which is never followed) is
// dropped at once, without waiting or retrying. A log past 1 MiB is kept as "<name>.1" (replacing an older
// one) and started anew. Text taken from a file (a path, a reason naming what the file holds) as one log
// field: control characters written out as PrintableText does, cut to 200 characters
// ("..." marks a cut; an escape is never cut in two).
std::wstring LogField(const std::wstring& text);

class CApplyLogFile : public IApplyLog {
public:
    // A log appending to the file; with no path every line is dropped.
    explicit CApplyLogFile(std::optional<std::wstring> path) : m_path(std::move(path)), m_pathKnown(true) {}
    // A log at DefaultPath, found when the first line is written (so nothing is created
    // before there is something to log).
    CApplyLogFile() = default;

    // TarveloIP.log in the data folder, the folder created with its protected security
    // when missing; nullopt when the folder cannot be had, is a link or has an owner
    // that is not trusted.
    static std::optional<std::wstring> DefaultPath();

    void Write(const std::wstring& line) noexcept override;

    static constexpr unsigned long long kRotateBytes = 1024 * 1024;

private:
    std::optional<std::wstring> m_path;
    bool m_pathKnown = false;
};
