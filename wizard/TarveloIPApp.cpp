#include "TarveloIPApp.h"

#include "TarveloIPAppSingleInstance.h"
#include "TarveloIPAppUnfinishedApply.h"
#include "platform/ApplyLogFile.h"
#include "platform/ApplyRecordFile.h"
#include "platform/ConnectionChecks.h"
#include "platform/ProgramLauncher.h"
#include "platform/Restart.h"
#include "platform/SettingsBackup.h"
#include "platform/SettingsStore.h"
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
        // The operations the apply sequence works with, built here and handed to the page.
        CAdapterSettings settings;
        CAdapterStore store(settings);
        CProgramLauncher launcher;
        CSettingsBackup backup;
        CApplyLogFile log;
        CConnectionChecks checks;
        CComputerRestart restart;
        CApplyRecordFile record(log);
        const ApplyOperations operations{launcher, store, backup, checks, log, restart, &record};
        CTarveloIPDlg page(nullptr, AdapterInventory::ReadAdapters, &operations);
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
