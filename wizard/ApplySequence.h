#pragma once
#include <string>

// What the apply sequence works with, as operations handed in from outside: the
// wizard passes thin Win32 versions, tests pass recording ones. Texts are narrow
// ANSI text.

// Starts programs and waits for their end.
class IProgramLauncher {
public:
    virtual ~IProgramLauncher() = default;
    // Starts the file through the shell, hidden, in the directory, and returns once it
    // has ended (at once when it cannot be started). The outcome is not reported.
    virtual void RunAndWait(const std::string& file, const std::string& parameters,
                            const std::string& directory) = 0;
    // The Windows directory, without a trailing backslash.
    virtual std::string WindowsDirectory() const = 0;
};

// The adapter settings store, as far as the sequence uses it.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual bool Open(const char* machineName) = 0;
    virtual bool SetIPAddress(const char* text) = 0;
    virtual bool SetSubnetMask(const char* text) = 0;
    virtual bool SetDefaultGateway(const char* text) = 0;
    virtual bool SetNameServer(const char* text) = 0;
    virtual void Close() = 0;
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
    virtual std::string ReadAddress() const = 0;
    virtual std::string ReadGateway() const = 0;
    // Runs the closing page modally and returns its result.
    virtual int RunFinishPage() = 0;
    // Enables the shutdown privilege and asks for a restart that is not forced.
    virtual void RestartComputer() = 0;
};

// The sequence behind Next: the network shell once, the tool for adapters 1 to 3,
// the store's writes, then the closing page and the restart. It runs on the
// user-interface thread and cannot be started again while it runs.
class CApplySequence {
public:
    explicit CApplySequence(IApplyPage& page);
    CApplySequence(const CApplySequence&) = delete;
    CApplySequence& operator=(const CApplySequence&) = delete;

    // Runs the whole sequence with these programs and this (not yet opened) store.
    // Returns false, doing nothing, when it is already running (a Next reached while
    // the sequence waits for a program). Exceptions from the store pass through, with
    // the note window gone.
    bool Run(IProgramLauncher& launcher, ISettingsStore& store);
    bool IsRunning() const { return m_running; }

    // Parameters of the network shell run; Big5 bytes for code page 950.
    static const char NetworkShellParameters[];
    // Parameter text of one tool run: "n address mask gateway dns-list".
    static std::string ToolParameters(int adapterNumber, const std::string& address,
                                      const std::string& gateway);

private:
    void RunPrograms(IProgramLauncher& launcher, std::string& address, std::string& gateway);
    static void WriteStore(ISettingsStore& store, const std::string& address, const std::string& gateway);

    IApplyPage& m_page;
    bool m_running = false;
};
