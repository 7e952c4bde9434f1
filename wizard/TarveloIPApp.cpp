#include "TarveloIPApp.h"

#include "platform/RestoreMode.h"
#include "pages/TarveloIPDlg.h"
#include "settings_snapshot/DllSearch.h"

namespace {
CTarveloIPApp theApp;
}

BOOL CTarveloIPApp::InitInstance() {
    EnableCommonControls();
    if (IsRestoreRequest()) {
        m_exitCode = RunRestoreMode();
        return FALSE;
    }
    {
        CTarveloIPDlg page;
        m_pMainWnd = &page;
        page.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SettingsSnapshot::RestrictDllSearchToSystem();
    return RunApplication(instance);
}
