#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "apply/ApplySequence.h"

// Starts a program through the shell ("open" verb, hidden) and waits for its end
// while the thread's windows keep working. Returns its exit status, or nullopt at once
// when the shell does not start it or hands back no process.
std::optional<DWORD> RunAndWait(HWND owner, const std::wstring& file, const std::wstring& parameters,
                                const std::wstring& directory);

// The wizard's launcher: programs started through the shell, owned by the given window.
class CShellLauncher : public IProgramLauncher {
public:
    explicit CShellLauncher(HWND owner) : m_owner(owner) {}

    std::optional<DWORD> RunAndWait(const std::wstring& file, const std::wstring& parameters,
                                    const std::wstring& directory) override;
    std::wstring WindowsDirectory() const override;

private:
    HWND m_owner;
};
