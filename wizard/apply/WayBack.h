#pragma once
#include <optional>
#include <string>
#include <vector>

#include "apply/ApplySequence.h"
#include "apply/WayBackOutcome.h"

// The way back to the settings before this run: from the closing page's button, and
// by itself when a step of the sequence fails.
class IWayBack {
public:
    virtual ~IWayBack() = default;
    // Puts the settings back as far as it can and says how far it got.
    virtual WayBackOutcome Restore() = 0;
};

// Restores the snapshot this run saved (all or nothing), then puts the live connection
// back with the network shell (DHCP, or the earlier static values) and the snapshot once
// more over what the shell wrote itself; logs each step. When the snapshot cannot be
// restored, the shell is not run and nothing is changed. Earlier values that are not
// strict dotted-decimal IPv4 never reach the shell: the live step is skipped and logged.
class CWayBack : public IWayBack {
public:
    CWayBack(ISettingsBackup& backup, IProgramLauncher& launcher, IApplyLog& log, std::wstring connection);
    WayBackOutcome Restore() override;
    // The outcome of the last Restore; an empty outcome before the first.
    const WayBackOutcome& LastOutcome() const { return m_last; }

private:
    WayBackOutcome Attempt();

    ISettingsBackup& m_backup;
    IProgramLauncher& m_launcher;
    IApplyLog& m_log;
    std::wstring m_connection;
    WayBackOutcome m_last;
};
