#pragma once
#include <optional>
#include <string>

#include "apply/ApplySequence.h"

// The closing page's way back to the settings before this run.
class IWayBack {
public:
    virtual ~IWayBack() = default;
    // Puts the settings back; nullopt when done, otherwise why nothing was restored.
    virtual std::optional<std::wstring> Restore() = 0;
};

// Restores the snapshot this run saved (all or nothing), then puts the live connection
// back with the network shell (DHCP, or the earlier static values) and the snapshot once
// more over what the shell wrote itself; logs each step. When the snapshot cannot be
// restored, the shell is not run and nothing is changed.
class CWayBack : public IWayBack {
public:
    CWayBack(ISettingsBackup& backup, IProgramLauncher& launcher, IApplyLog& log, std::wstring connection);
    std::optional<std::wstring> Restore() override;

private:
    ISettingsBackup& m_backup;
    IProgramLauncher& m_launcher;
    IApplyLog& m_log;
    std::wstring m_connection;
};
