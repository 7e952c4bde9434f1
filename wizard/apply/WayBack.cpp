#include "apply/WayBack.h"

#include "apply/LoggedRun.h"
#include "apply/NetworkShellCommands.h"

CWayBack::CWayBack(ISettingsBackup& backup, IProgramLauncher& launcher, IApplyLog& log,
                   std::wstring connection)
    : m_backup(backup), m_launcher(launcher), m_log(log), m_connection(std::move(connection)) {}

WayBackOutcome CWayBack::Restore() {
    m_last = Attempt();
    return m_last;
}

WayBackOutcome CWayBack::Attempt() {
    WayBackOutcome outcome;
    if (std::optional<SettingsSnapshot::Failure> failure = m_backup.RestoreSaved()) {
        m_log.Write(L"restore failed: " + failure->Describe());
        outcome.notRestored = std::move(failure);
        return outcome;
    }
    m_log.Write(L"restored " + m_backup.SavedPath());
    const std::optional<PreviousAddress> previous = m_backup.Previous();
    const std::optional<std::vector<std::wstring>> runs =
        previous ? NetworkShellCommands::Restore(m_connection, *previous) : std::nullopt;
    if (!runs) {
        // The registry is back; the live connection follows at the next restart.
        m_log.Write(previous ? L"earlier address is not plain IPv4 text: network shell not run"
                             : L"earlier address unknown: network shell not run");
        outcome.liveSkipped = true;
        return outcome;
    }
    for (const std::wstring& parameters : *runs) {
        const std::optional<DWORD> status = RunNetworkShell(m_launcher, m_log, parameters);
        if (!status || *status != 0) outcome.liveFailed.push_back(parameters);
    }
    // The shell keeps its own registry values; the snapshot's exact bytes go back over
    // them, so nothing differs from before the run.
    outcome.notRestoredAgain = m_backup.RestoreSaved();
    m_log.Write(L"snapshot put back after the network shell: " +
                (outcome.notRestoredAgain ? L"failed: " + outcome.notRestoredAgain->Describe()
                                          : std::wstring(L"ok")));
    return outcome;
}
