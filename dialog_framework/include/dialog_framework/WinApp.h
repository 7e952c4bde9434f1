#pragma once
#include <windows.h>

class CWnd;

// The program's application object. Exactly one exists, normally as a static object
// of a derived class; the program entry point hands control to RunApplication.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Initialisation hook; TRUE runs the message loop afterwards, FALSE ends the program.
    virtual BOOL InitInstance();
    // Message loop until WM_QUIT; returns the quit code.
    virtual int Run();
    // Clean-up hook after the program's work; its result becomes the exit status.
    virtual int ExitInstance();

    // Registers the common control classes the dialogs use (address control included).
    static void EnableCommonControls();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;  // the main window while it exists, not owned
};

// The application object, or nullptr when none exists.
CWinApp* GetApp();
// The application's main window, or nullptr.
CWnd* GetMainWnd();
// Body of the program entry point: runs the initialisation hook and, when it
// succeeds, the message loop. Returns the process exit status.
int RunApplication(HINSTANCE instance);
