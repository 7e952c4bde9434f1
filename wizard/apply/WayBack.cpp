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
    std::wstring detail;
    if (!m_backup.RestoreSaved(detail)) {
        m_log.Write(L"restore failed: " + detail);
        outcome.notRestored = detail;
        return outcome;
    }
    m_log.Write(L"restored " + detail);
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
    const bool again = m_backup.RestoreSaved(detail);
    m_log.Write(std::wstring(L"snapshot put back after the network shell: ") + (again ? L"ok" : L"failed: ") +
                (again ? std::wstring() : detail));
    if (!again) outcome.notRestoredAgain = detail;
    return outcome;
}
