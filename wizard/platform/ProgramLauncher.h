#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "apply/ApplySequence.h"

// Starts a program by its full path (StartProgram, hidden) and waits for its end while
// the thread's windows keep working. Returns its exit status, or nullopt at once when
// it could not be started.
std::optional<DWORD> RunAndWait(const std::wstring& path, const std::wstring& parameters,
                                const std::wstring& directory);

// The wizard's launcher: programs started directly, never through the shell.
class CProgramLauncher : public IProgramLauncher {
public:
    std::optional<DWORD> RunAndWait(const std::wstring& file, const std::wstring& parameters,
                                    const std::wstring& directory) override;
    std::wstring WindowsDirectory() const override;
};
