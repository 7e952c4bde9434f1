#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "adapter_inventory/AdapterInventory.h"
#include "apply/ApplyFailure.h"
#include "apply/ConnectionChecks.h"
#include "apply/NetworkShellCommands.h"
#include "apply/WayBackOutcome.h"

class IWayBack;
class CWayBack;

// What the apply sequence works with, as operations handed in from outside: the
// wizard passes thin Win32 versions, tests pass recording ones. Addresses are narrow
// ANSI text; what goes to the shell and the log is Unicode.

// Starts programs and waits for their end.
class IProgramLauncher {
public:
    virtual ~IProgramLauncher() = default;
    // Starts the program at its full path (never through the shell's associations),
    // hidden, in the directory, and returns once it has ended with its exit status;
    // nullopt at once when it could not be started.
    virtual std::optional<DWORD> RunAndWait(const std::wstring& file, const std::wstring& parameters,
                                            const std::wstring& directory) = 0;
    // The Windows directory, without a trailing backslash.
    virtual std::wstring WindowsDirectory() const = 0;
};

// The chosen adapter's settings, as far as the sequence uses them.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // Opens and loads the adapter's keys on this computer; false when they cannot be.
    virtual bool Open(const AdapterInventory::Adapter& adapter) = 0;
    virtual bool SetIPAddress(const char* text) = 0;
    virtual bool SetSubnetMask(const char* text) = 0;
    virtual bool SetDefaultGateway(const char* text) = 0;
    virtual bool SetNameServer(const char* text) = 0;
    // EnableDHCP = 0 in both of the adapter's keys.
    virtual bool DisableDhcp() = 0;
    virtual void Close() = 0;
};

// Saves what the sequence may change before it changes anything, so it can be put back.
class ISettingsBackup {
public:
    virtual ~ISettingsBackup() = default;
    // Saves the snapshot of what the sequence may change for the adapter; on failure
    // why nothing was saved.
    virtual std::optional<SettingsSnapshot::Failure> Save(const AdapterInventory::Adapter& adapter) = 0;
    // The file Save wrote; empty before.
    virtual std::wstring SavedPath() const = 0;
    // Puts the snapshot saved by Save back, all or nothing; on failure why nothing was
    // restored.
    virtual std::optional<SettingsSnapshot::Failure> RestoreSaved() = 0;
    // The adapter's address settings as the saved snapshot holds them; nullopt before
    // Save or when it holds none.
    virtual std::optional<PreviousAddress> Previous() const = 0;
};

// Keeps the record of an apply that has started and not ended, so that the next start
// finds one cut off (power lost, process ended) and can offer the way back.
class IApplyRecord {
public:
    virtual ~IApplyRecord() = default;
    // Before the first change: the apply for the adapter, whose settings the snapshot
    // file holds, has started.
    virtual void Started(const std::wstring& service, const std::wstring& snapshotPath) = 0;
    // The apply has ended, whichever way; may be called more than once.
    virtual void Ended() = 0;
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
    // Locks the address field and the adapter list against input (true) or frees them.
    virtual void LockInput(bool locked) = 0;
    // Creates and shows the note window (modeless).
    virtual void ShowNote() = 0;
    // Asks the note window to close (WM_CLOSE).
    virtual void CloseNote() = 0;
    // Destroys the note window if it is still there.
    virtual void DestroyNote() = 0;
    // The note window says that the gateway and the DNS server are being tested and
    // that it takes a few seconds.
    virtual void ShowCheckingNote(const std::string& gateway, const std::string& dnsServer) = 0;
    virtual std::string ReadAddress() const = 0;
    virtual std::string ReadGateway() const = 0;
    // Runs the closing page modally with the checks' results and returns its result:
    // CApplySequence::FinishResult (Finish), RestoredResult once the way back has put
    // the settings back, ClosedResult when it was closed otherwise (Esc, close box).
    virtual int RunFinishPage(const ConnectionReport& report, IWayBack& wayBack) = 0;
    // Tells the user (one message box) to restart the computer by hand.
    virtual void AskForRestartByHand() = 0;
    // Tells the user (one message box) that the settings could not be saved first, so
    // nothing was changed, and why.
    virtual void ReportBackupFailure(const SettingsSnapshot::Failure& failure) = 0;
    // Tells the user (one message box) which step failed for the connection and how far
    // putting everything back got: the machine as it was, or what is left to do by hand.
    virtual void ReportApplyFailure(const std::wstring& connection, const ApplyFailure& failure,
                                    const WayBackOutcome& putBack) = 0;
    // Tells the user (one message box) what the way back put back for the connection:
    // its earlier address (or DHCP), and whether a restart is still needed.
    virtual void ReportWayBack(const std::wstring& connection, const std::optional<PreviousAddress>& previous,
                               const WayBackOutcome& outcome) = 0;
    // Ends the entry page, and with it the wizard, once the current handler returns.
    virtual void EndWizard() = 0;
};

// What the platform does for the sequence beyond the page's windows.
class IRestart {
public:
    virtual ~IRestart() = default;
    // Enables the shutdown privilege and asks for a restart that is not forced;
    // ERROR_SUCCESS once asked, otherwise the Win32 error of the failed step.
    virtual DWORD RestartComputer() = 0;
};

// Everything the sequence works with besides the page, built by the application and
// handed in once: the programs, the (not yet opened) store, the backup, the checks, the
// log and the restart.
struct ApplyOperations {
    IProgramLauncher& launcher;
    ISettingsStore& store;
    ISettingsBackup& backup;
    IConnectionChecks& checks;
    IApplyLog& log;
    IRestart& restart;
    // The record of an apply under way (none: not recorded).
    IApplyRecord* record = nullptr;
};

// The sequence behind Next, for the one adapter the user chose: a snapshot of what it
// may change, the network shell three times for the adapter's connection (the typed
// settings go live at once), the tool once for its service name, the store's writes to
// its keys, both connection checks at once, then the closing page with the way back,
// the restart and the wizard's end. No other adapter is touched. All or nothing: once
// the snapshot is saved, a failing step (a program not started or exiting non-zero, the
// store failing to open or to write) puts everything back by the way back before the
// user is told. It runs on the user-interface thread and cannot be started again while
// it runs.
class CApplySequence {
public:
    CApplySequence(IApplyPage& page, const ApplyOperations& operations);
    CApplySequence(const CApplySequence&) = delete;
    CApplySequence& operator=(const CApplySequence&) = delete;

    // The closing page's results: Finish (restart), the way back done, closed otherwise
    // (Esc, Alt+F4, the close box: the wizard ends without a restart).
    static constexpr int FinishResult = 2;
    static constexpr int RestoredResult = 3;
    static constexpr int ClosedResult = 4;

    // Runs the whole sequence for the adapter with the operations. Returns false, doing
    // nothing, when
    // it is already running (a Next reached while the sequence waits for a program).
    // When the backup cannot be saved, runs nothing, reports it and gives the page back
    // as it was. When a later step fails, puts everything back, reports the failure and
    // how far putting back got, and gives the page back (no checks, no closing page).
    // Exceptions from the store pass through, with the note window gone. The tool is
    // given toolAdapterName (see ToolAdapterName).
    bool Run(const AdapterInventory::Adapter& adapter, const std::wstring& toolAdapterName);
    bool IsRunning() const { return m_running; }
    // The record the next runs keep from their first change to their end (the closing
    // page's result included); nullptr for none.
    void SetRecord(IApplyRecord* record) { m_record = record; }

    // The connection name used when the real one is unknown: 區域連線 as Big5 bytes,
    // whatever the code page.
    static const char FallbackConnectionName[];
    // The connection the network shell gets: the adapter's connection name when known
    // (and passable inside quotes), otherwise FallbackConnectionName as the shell's
    // ANSI calls would pass it.
    static std::wstring ConnectionFor(const std::wstring& connectionName);
    // How the tool is to be given the adapter: its service name, unless that begins with
    // a digit, which the tool reads as an adapter number; then the adapter's number, its
    // card's 1-based place among the NetworkCards subkeys (cardKeys, in the registry's
    // order). The service name when the card is not among them.
    static std::wstring ToolAdapterName(const AdapterInventory::Adapter& adapter,
                                        const std::vector<std::wstring>& cardKeys);
    // Parameter text of the tool run: "adapter address mask gateway dns-list".
    static std::wstring ToolParameters(const std::wstring& adapterName, const std::string& address,
                                       const std::string& gateway);

private:
    std::optional<ApplyFailure> RunPrograms(const std::wstring& toolAdapterName, IProgramLauncher& launcher,
                                            IApplyLog& log, const std::wstring& connection,
                                            const std::string& address, const std::string& gateway);
    static std::optional<ApplyFailure> WriteStore(const AdapterInventory::Adapter& adapter,
                                                  ISettingsStore& store, IApplyLog& log,
                                                  const std::string& address, const std::string& gateway);
    ConnectionReport RunChecks(IConnectionChecks& checks, IApplyLog& log, const std::string& gateway);
    bool SaveBackup(const AdapterInventory::Adapter& adapter, ISettingsBackup& backup, IApplyLog& log,
                    std::wstring& savedPath);
    void PutBackAfter(const AdapterInventory::Adapter& adapter, const ApplyFailure& failure,
                      IWayBack& wayBack, IApplyLog& log);
    void GivePageBack();
    void FinishAndEnd(const AdapterInventory::Adapter& adapter, IApplyLog& log,
                      const ConnectionReport& report, CWayBack& wayBack, const ISettingsBackup& backup);

    IApplyPage& m_page;
    const ApplyOperations m_operations;
    bool m_running = false;
    IApplyRecord* m_record = nullptr;
};
