#include "dialog_framework/WinApp.h"

#include <commctrl.h>

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int CWinApp::ExitInstance() {
    return 0;
}

void CWinApp::EnableCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
}

CWinApp* GetApp() {
    return g_app;
}

CWnd* GetMainWnd() {
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

int RunApplication(HINSTANCE instance) {
    CWinApp* const app = GetApp();
    if (app == nullptr) return 1;
    app->m_hInstance = instance;
    if (!app->InitInstance()) {
        // The hook did all the work (e.g. ran a modal page); nothing more to run.
        app->m_pMainWnd = nullptr;
        return app->ExitInstance();
    }
    const int quitCode = app->Run();
    const int exitCode = app->ExitInstance();
    return exitCode != 0 ? exitCode : quitCode;
}
