#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Helpers that drive the windows of another process from outside, the way a user
// would: find windows, type into focused controls, read texts, take screenshots.
namespace TestSupport {

// A program started without waiting; killed at the end if it is still running.
class GuiProcess {
public:
    // Starts the program with the arguments in the given working directory ("" = ours).
    explicit GuiProcess(const std::string& program, const std::string& workingDirectory = "",
                        const std::string& arguments = "");
    ~GuiProcess();
    GuiProcess(const GuiProcess&) = delete;
    GuiProcess& operator=(const GuiProcess&) = delete;

    bool Started() const { return m_info.hProcess != nullptr; }
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    // Waits for the end; true with the exit code when it ended in time.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) const;
    bool HasExited() const;

private:
    PROCESS_INFORMATION m_info{};
};

// Top-level windows of a process with exactly the given caption.
std::vector<HWND> FindProcessWindows(DWORD processId, const std::wstring& caption, bool visibleOnly);
// Waits until the process shows a visible top-level window with the caption; nullptr on timeout.
HWND WaitForWindow(DWORD processId, const std::wstring& caption, DWORD timeoutMs);
// Waits until the process shows a visible top-level window of the class; nullptr on timeout.
HWND WaitForWindowOfClass(DWORD processId, const std::wstring& className, DWORD timeoutMs);
// Waits until the window no longer exists.
bool WaitForWindowGone(HWND window, DWORD timeoutMs);

// Window text read through WM_GETTEXT, as Unicode and as ANSI text.
std::wstring WindowTextW(HWND window);
std::string WindowTextA(HWND window);
// Texts of the child windows of a window, in left-to-right order (the four fields
// of an address control).
std::vector<std::string> ChildTextsByPosition(HWND window);
// Texts of all direct children with the given class name, in child order.
std::vector<std::wstring> ChildTexts(HWND window, const std::wstring& className);

// The window that has the keyboard focus in the thread that owns the window.
HWND FocusedWindow(HWND anyWindowOfThread);
// Types characters into whichever window of that thread has the focus, one WM_CHAR each.
void TypeIntoFocus(HWND anyWindowOfThread, const std::string& text);

// Saves what the screen shows in the window's rectangle (the whole screen for nullptr)
// as a 24-bit .bmp file; false on failure.
bool SaveScreenshot(HWND window, const std::string& path);

}  // namespace TestSupport
