#include "apply/WayBack.h"

#include "apply/LoggedRun.h"
#include "apply/NetworkShellCommands.h"

CWayBack::CWayBack(ISettingsBackup& backup, IProgramLauncher& launcher, IApplyLog& log,
                   std::wstring connection)
    : m_backup(backup), m_launcher(launcher), m_log(log), m_connection(std::move(connection)) {}

std::optional<std::wstring> CWayBack::Restore() {
    std::wstring detail;
    if (!m_backup.RestoreSaved(detail)) {
        m_log.Write(L"restore failed: " + detail);
        return detail;
    }
    m_log.Write(L"restored " + detail);
    const std::optional<PreviousAddress> previous = m_backup.Previous();
    if (!previous) {
        // The snapshot held no address of the adapter: the registry is back, the live
        // connection follows at the next restart.
        m_log.Write(L"earlier address unknown: network shell not run");
        return std::nullopt;
    }
    for (const std::wstring& parameters : NetworkShellCommands::Restore(m_connection, *previous))
        RunLogged(m_launcher, m_log, NetworkShellFile, parameters, NetworkShellDirectory(m_launcher));
    // The shell keeps its own registry values; the snapshot's exact bytes go back over
    // them, so nothing differs from before the run.
    const bool again = m_backup.RestoreSaved(detail);
    m_log.Write(std::wstring(L"snapshot put back after the network shell: ") + (again ? L"ok" : L"failed: ") +
                (again ? std::wstring() : detail));
    return std::nullopt;
}
