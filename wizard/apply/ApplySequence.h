#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "apply/ConnectionChecks.h"
#include "apply/NetworkShellCommands.h"

class IWayBack;

// What the apply sequence works with, as operations handed in from outside: the
// wizard passes thin Win32 versions, tests pass recording ones. Addresses are narrow
// ANSI text; what goes to the shell and the log is Unicode.

// Starts programs and waits for their end.
class IProgramLauncher {
public:
    virtual ~IProgramLauncher() = default;
    // Starts the file through the shell, hidden, in the directory, and returns once it
    // has ended with its exit status; nullopt at once when it could not be started.
    virtual std::optional<DWORD> RunAndWait(const std::wstring& file, const std::wstring& parameters,
                                            const std::wstring& directory) = 0;
    // The Windows directory, without a trailing backslash.
    virtual std::wstring WindowsDirectory() const = 0;
};

// Network card 1's settings, as far as the sequence uses them.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // The card's connection name as the network shell knows it ("乙太網路 2"); read on
    // its own, the store need not be open. nullopt when it cannot be read.
    virtual std::optional<std::wstring> ConnectionName() const = 0;
    virtual bool Open(const char* machineName) = 0;
    virtual bool SetIPAddress(const char* text) = 0;
    virtual bool SetSubnetMask(const char* text) = 0;
    virtual bool SetDefaultGateway(const char* text) = 0;
    virtual bool SetNameServer(const char* text) = 0;
    // EnableDHCP = 0 in both of the card's keys.
    virtual bool DisableDhcp() = 0;
    virtual void Close() = 0;
};

// Saves what the sequence may change before it changes anything, so it can be put back.
class ISettingsBackup {
public:
    virtual ~ISettingsBackup() = default;
    // Saves the snapshot. True with detail set to the file's path; false with detail
    // saying why nothing was saved.
    virtual bool Save(std::wstring& detail) = 0;
    // Puts the snapshot saved by Save back, all or nothing. True with detail set to the
    // file's path; false with detail saying why nothing was restored.
    virtual bool RestoreSaved(std::wstring& detail) = 0;
    // The adapter's address settings as the saved snapshot holds them; nullopt before
    // Save or when it holds none.
    virtual std::optional<PreviousAddress> Previous() const = 0;
};

// Where the sequence records what it did, for support. Never fails the sequence.
class IApplyLog {
public:
    virtual ~IApplyLog() = default;
    // Appends one line (without line end); a line that cannot be written is dropped.
    virtual void Write(const std::wstring& line) noexcept = 0;
};

// The user-interface actions of the sequence on the entry page and its windows.
class IApplyPage {
public:
    virtual ~IApplyPage() = default;
    // Makes the wait cursor current and keeps the previous one.
    virtual void ShowWaitCursor() = 0;
    // Makes the cursor kept by ShowWaitCursor current again.
    virtual void RestoreCursor() = 0;
    virtual void EnableNext(bool enable) = 0;
    virtual void EnableExit(bool enable) = 0;
    // Locks the address field against typing (true) or frees it (false).
    virtual void LockAddress(bool locked) = 0;
    // Creates and shows the note window (modeless).
    virtual void ShowNote() = 0;
    // Asks the note window to close (WM_CLOSE).
    virtual void CloseNote() = 0;
    // Destroys the note window if it is still there.
    virtual void DestroyNote() = 0;
    // The note window says that the connection is being tested.
    virtual void ShowCheckingNote() = 0;
    virtual std::string ReadAddress() const = 0;
    virtual std::string ReadGateway() const = 0;
    // Runs the closing page modally with the checks' results and returns its result:
    // CApplySequence::FinishResult, or RestoredResult once the way back has put the
    // settings back.
    virtual int RunFinishPage(const ConnectionReport& report, IWayBack& wayBack) = 0;
    // Enables the shutdown privilege and asks for a restart that is not forced;
    // ERROR_SUCCESS once asked, otherwise the Win32 error of the failed step.
    virtual DWORD RestartComputer() = 0;
    // Tells the user (one message box) to restart the computer by hand.
    virtual void AskForRestartByHand() = 0;
    // Tells the user (one message box) that the settings could not be saved first, so
    // nothing was changed, and why.
    virtual void ReportBackupFailure(const std::wstring& detail) = 0;
    // Ends the entry page, and with it the wizard, once the current handler returns.
    virtual void EndWizard() = 0;
};

// The sequence behind Next: a snapshot of what it may change, the network shell three
// times (the typed settings go live at once), the tool for adapters 1 to 3, the store's
// writes, the connection checks, then the closing page with the way back, the restart
// and the wizard's end. It runs on the user-interface thread and cannot be started
// again while it runs.
class CApplySequence {
public:
    explicit CApplySequence(IApplyPage& page);
    CApplySequence(const CApplySequence&) = delete;
    CApplySequence& operator=(const CApplySequence&) = delete;

    // The closing page's results: Finish (id 2, also the close box and Esc) and the way
    // back done.
    static constexpr int FinishResult = 2;
    static constexpr int RestoredResult = 3;

    // Runs the whole sequence with these programs, this (not yet opened) store, this
    // backup, these checks and this log. Returns false, doing nothing, when it is already running (a
    // Next reached while the sequence waits for a program). When the backup cannot be
    // saved, runs nothing, reports it and gives the page back as it was. Exceptions
    // from the store pass through, with the note window gone.
    bool Run(IProgramLauncher& launcher, ISettingsStore& store, ISettingsBackup& backup, IConnectionChecks& checks,
             IApplyLog& log);
    bool IsRunning() const { return m_running; }

    // The connection name used when the real one is unknown: 區域連線 as Big5 bytes,
    // whatever the code page.
    static const char FallbackConnectionName[];
    // The connection the network shell gets: the name when known, otherwise
    // FallbackConnectionName as the shell's ANSI calls would pass it.
    static std::wstring ConnectionFor(const std::optional<std::wstring>& connectionName);
    // Parameter text of one tool run: "n address mask gateway dns-list".
    static std::string ToolParameters(int adapterNumber, const std::string& address,
                                      const std::string& gateway);

private:
    void RunPrograms(IProgramLauncher& launcher, IApplyLog& log, const std::wstring& connection,
                     const std::string& address, const std::string& gateway);
    ConnectionReport RunChecks(IConnectionChecks& checks, IApplyLog& log, const std::string& gateway);
    static void WriteStore(ISettingsStore& store, IApplyLog& log, const std::string& address,
                           const std::string& gateway);
    bool SaveBackup(ISettingsBackup& backup, IApplyLog& log);
    void FinishAndEnd(IApplyLog& log, const ConnectionReport& report, IWayBack& wayBack);

    IApplyPage& m_page;
    bool m_running = false;
};
