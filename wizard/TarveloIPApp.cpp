#include "TarveloIPApp.h"

#include "TarveloIPAppSingleInstance.h"
#include "TarveloIPAppUnfinishedApply.h"
#include "pages/TarveloIPDlg.h"
#include "platform/RestoreMode.h"
#include "win_base/ProcessHardening.h"

namespace {
CTarveloIPApp theApp;
}

BOOL CTarveloIPApp::InitInstance() {
    const CSingleInstance instance;
    if (!instance.IsFirst()) {
        CSingleInstance::BringOtherToFront();
        return FALSE;
    }
    EnableCommonControls();
    OfferUnfinishedApply();
    const RestoreRequest restore = ReadRestoreRequest();
    if (restore != RestoreRequest::None) {
        m_exitCode = RunRestoreMode(restore);
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
