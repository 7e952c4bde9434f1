// On Windows 95/98/Me the wizard starts the sibling installer and ends without
// showing its page. Wine reports Windows 98 to one program name through its
// AppDefaults key; the test runs a copy of the wizard under that name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "test_support/GuiDriver.h"
#include "test_support/Process.h"
#include "test_support/RegistryFixture.h"

using namespace TestSupport;

namespace {

const char kWizardCopy[] = "TarveloIP9x.exe";
const std::string kAppDefaults = std::string("Software\\Wine\\AppDefaults\\") + kWizardCopy;

// Makes Wine report Windows 98 to the copy for the lifetime of the object.
class ReportWindows98 {
public:
    ReportWindows98() { WriteRawValue(HKEY_CURRENT_USER, kAppDefaults, "Version", StringValue("win98")); }
    ~ReportWindows98() { DeleteTree(HKEY_CURRENT_USER, kAppDefaults); }
    ReportWindows98(const ReportWindows98&) = delete;
    ReportWindows98& operator=(const ReportWindows98&) = delete;
};

class HandOff : public ::testing::Test {
protected:
    void SetUp() override {
        m_directory = ModuleDirectory() + "handoff-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
        CreateDirectoryA(m_directory.c_str(), nullptr);
        DeleteFileA(Marker().c_str());
        DeleteFileA((m_directory + "tarvelo98.exe").c_str());
        ASSERT_TRUE(CopyFileA((ModuleDirectory() + "..\\TarveloIP.exe").c_str(),
                              (m_directory + kWizardCopy).c_str(), FALSE));
    }

    std::string Marker() const { return m_directory + "tarvelo98-started.txt"; }

    // Runs the copy from workingDirectory until it ends; fails if the entry page ever
    // shows. A report box (owned by the hidden page) is closed and its text kept.
    DWORD RunWizardCopy(const std::string& workingDirectory) const {
        GuiProcess wizard(m_directory + kWizardCopy, workingDirectory);
        EXPECT_TRUE(wizard.Started());
        const DWORD start = GetTickCount();
        while (!wizard.HasExited() && GetTickCount() - start < 30000) {
            EXPECT_TRUE(FindProcessWindows(wizard.Id(), L"Tarvelo ADSL", true).empty()) << "the page showed";
            if (const HWND box = WaitForWindowOfClass(wizard.Id(), L"#32770", 0)) {
                char text[1024] = "";
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                m_report = text;
                PostMessageW(box, WM_CLOSE, 0, 0);
            }
            Sleep(20);
        }
        DWORD exitCode = ~0u;
        EXPECT_TRUE(wizard.WaitForExit(0, exitCode)) << "the wizard did not end";
        return exitCode;
    }

    std::string m_directory;
    mutable std::string m_report;  // the text of the last report box
};

TEST_F(HandOff, StartsTheSiblingInstallerInTheWizardDirectoryAndExits) {
    ASSERT_TRUE(CopyFileA((ModuleDirectory() + "tarvelo98.exe").c_str(),
                          (m_directory + "tarvelo98.exe").c_str(), FALSE));
    const ReportWindows98 windows98;
    // Started from another directory: the installer's directory must come from the wizard.
    EXPECT_EQ(RunWizardCopy(ModuleDirectory()), 0u);

    std::string started;
    for (int i = 0; i < 200 && started.empty(); ++i, Sleep(50)) started = ReadFileBytes(Marker());
    ASSERT_FALSE(started.empty()) << "tarvelo98.exe did not run";
    const std::string expected = m_directory.substr(0, m_directory.size() - 1);  // no trailing backslash
    EXPECT_EQ(_stricmp(started.c_str(), expected.c_str()), 0) << started;
}

TEST_F(HandOff, EndsWithStatusZeroWhenTheSiblingIsMissing) {
    const ReportWindows98 windows98;
    // Started in its own directory: no stand-in sits where the shell looks.
    EXPECT_EQ(RunWizardCopy(m_directory), 0u);
    EXPECT_TRUE(ReadFileBytes(Marker()).empty());
    // The user is told which file could not be started.
    EXPECT_NE(m_report.find(m_directory + "tarvelo98.exe"), std::string::npos) << m_report;
}

TEST_F(HandOff, OtherSystemsShowThePage) {
    ASSERT_TRUE(CopyFileA((ModuleDirectory() + "tarvelo98.exe").c_str(),
                          (m_directory + "tarvelo98.exe").c_str(), FALSE));
    GuiProcess wizard(m_directory + kWizardCopy);
    const HWND page = WaitForWindow(wizard.Id(), L"Tarvelo ADSL", 20000);
    ASSERT_NE(page, nullptr);
    PostMessageW(GetDlgItem(page, IDCANCEL), BM_CLICK, 0, 0);
    DWORD exitCode = ~0u;
    ASSERT_TRUE(wizard.WaitForExit(20000, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(ReadFileBytes(Marker()).empty());
}

}  // namespace
