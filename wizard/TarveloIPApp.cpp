#include "TarveloIPApp.h"

#include "TarveloIPDlg.h"

namespace {
CTarveloIPApp theApp;
}

BOOL CTarveloIPApp::InitInstance() {
    EnableCommonControls();
    {
        CTarveloIPDlg page;
        m_pMainWnd = &page;
        page.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return RunApplication(instance);
}
