#pragma once
#include <windows.h>

#include <string>

#include "ApplySequence.h"

// Starts a program through the shell ("open" verb, hidden) and waits for its end
// while the thread's windows keep working. Returns at once when the shell does not
// start it or hands back no process. The program's exit code is not used.
void RunAndWait(HWND owner, const std::string& file, const std::string& parameters,
                const std::string& directory);

// The wizard's launcher: programs started through the shell, owned by the given window.
class CShellLauncher : public IProgramLauncher {
public:
    explicit CShellLauncher(HWND owner) : m_owner(owner) {}

    void RunAndWait(const std::string& file, const std::string& parameters,
                    const std::string& directory) override;
    std::string WindowsDirectory() const override;

private:
    HWND m_owner;
};
