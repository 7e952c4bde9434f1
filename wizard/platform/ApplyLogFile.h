#pragma once
#include <optional>
#include <string>

#include "apply/ApplySequence.h"

// The apply log as a UTF-8 text file: each line is appended with the local time in
// front. The file is opened for each line and closed again; a line that cannot be
// written (no folder, file locked) is dropped at once, without waiting or retrying.
class CApplyLogFile : public IApplyLog {
public:
    // A log appending to the file; with no path every line is dropped.
    explicit CApplyLogFile(std::optional<std::wstring> path) : m_path(std::move(path)) {}

    // %ProgramData%\Tarvelo\TarveloIP.log, the folder created when missing; nullopt
    // when the folder cannot be had.
    static std::optional<std::wstring> DefaultPath();

    void Write(const std::wstring& line) noexcept override;

private:
    std::optional<std::wstring> m_path;
};
