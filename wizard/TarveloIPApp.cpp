#include "TarveloIPApp.h"

#include "platform/RestoreMode.h"
#include "pages/TarveloIPDlg.h"
#include "win_base/ProcessHardening.h"

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
    WinBase::RestrictDllSearchToSystem();
    return RunApplication(instance);
}
