// The entry point body: the initialisation hook decides whether a message loop runs.
#include <gtest/gtest.h>
#include <windows.h>

#include "dialog_framework/Wnd.h"
#include "dialog_framework/WinApp.h"

namespace {

class HookApp : public CWinApp {
public:
    explicit HookApp(BOOL initResult) : m_initResult(initResult) {}
    BOOL InitInstance() override {
        ++initCalls;
        m_pMainWnd = &m_window;
        if (m_initResult) PostQuitMessage(5);
        return m_initResult;
    }
    int ExitInstance() override {
        ++exitCalls;
        return m_initResult ? 0 : 3;
    }
    int initCalls = 0;
    int exitCalls = 0;

private:
    BOOL m_initResult;
    CWnd m_window;
};

TEST(Application, FailedInitialisationEndsWithoutMessageLoop) {
    HookApp app(FALSE);
    EXPECT_EQ(GetApp(), &app);
    EXPECT_EQ(RunApplication(GetModuleHandleW(nullptr)), 3);
    EXPECT_EQ(app.initCalls, 1);
    EXPECT_EQ(app.exitCalls, 1);
    EXPECT_EQ(GetMainWnd(), nullptr) << "no dangling main window after the hook";
    EXPECT_EQ(app.m_hInstance, GetModuleHandleW(nullptr));
}

TEST(Application, SuccessfulInitialisationRunsTheLoopToItsQuitCode) {
    HookApp app(TRUE);
    EXPECT_EQ(RunApplication(GetModuleHandleW(nullptr)), 5);
    EXPECT_EQ(app.exitCalls, 1);
}

TEST(Application, NoApplicationObjectMeansFailure) {
    EXPECT_EQ(GetApp(), nullptr);
    EXPECT_EQ(RunApplication(GetModuleHandleW(nullptr)), 1);
}

}  // namespace
