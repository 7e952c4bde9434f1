// The apply sequence over recording operations: order of effects, parameter texts,
// working directories and branches, without windows, processes or registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "AddressRules.h"
#include "ApplySequence.h"

namespace {

// One shared journal, so the order across launcher, store and page is visible.
using Journal = std::vector<std::string>;

class RecordingLauncher : public IProgramLauncher {
public:
    explicit RecordingLauncher(Journal& journal) : m_journal(journal) {}
    void RunAndWait(const std::string& file, const std::string& parameters,
                    const std::string& directory) override {
        m_journal.push_back("run " + file + " [" + parameters + "] in " + directory);
        if (onRun) onRun();
    }
    std::string WindowsDirectory() const override { return "C:\\windows"; }
    std::function<void()> onRun;

private:
    Journal& m_journal;
};

class RecordingStore : public ISettingsStore {
public:
    explicit RecordingStore(Journal& journal) : m_journal(journal) {}
    bool Open(const char* machineName) override {
        m_journal.push_back(machineName == nullptr ? "store open" : "store open remote");
        if (throwOnOpen) throw std::bad_alloc();
        return openResult;
    }
    bool SetIPAddress(const char* t) override { return Record("ip", t); }
    bool SetSubnetMask(const char* t) override { return Record("mask", t); }
    bool SetDefaultGateway(const char* t) override { return Record("gateway", t); }
    bool SetNameServer(const char* t) override { return Record("dns", t); }
    void Close() override { m_journal.push_back("store close"); }
    bool openResult = true;
    bool writeResult = true;
    bool throwOnOpen = false;

private:
    bool Record(const std::string& what, const char* text) {
        m_journal.push_back("store " + what + " " + text);
        return writeResult;
    }
    Journal& m_journal;
};

class RecordingPage : public IApplyPage {
public:
    explicit RecordingPage(Journal& journal) : m_journal(journal) {}
    void ShowWaitCursor() override { m_journal.push_back("wait cursor"); }
    void RestoreCursor() override { m_journal.push_back("restore cursor"); }
    void EnableNext(bool e) override { m_journal.push_back(e ? "next on" : "next off"); }
    void EnableExit(bool e) override { m_journal.push_back(e ? "exit on" : "exit off"); }
    void LockAddress(bool l) override { m_journal.push_back(l ? "address locked" : "address free"); }
    void ShowNote() override { m_journal.push_back("note shown"); }
    void CloseNote() override { m_journal.push_back("note closed"); }
    void DestroyNote() override { m_journal.push_back("note destroyed"); }
    std::string ReadAddress() const override {
        m_journal.push_back("read address");
        return address;
    }
    std::string ReadGateway() const override {
        m_journal.push_back("read gateway");
        return gateway;
    }
    int RunFinishPage() override {
        m_journal.push_back("finish page");
        return finishResult;
    }
    void RestartComputer() override { m_journal.push_back("restart"); }
    std::string address = "192.168.5.20";
    std::string gateway = "192.168.5.254";
    int finishResult = 2;

private:
    Journal& m_journal;
};

struct Sequence {
    Journal journal;
    RecordingLauncher launcher{journal};
    RecordingStore store{journal};
    RecordingPage page{journal};
    CApplySequence sequence{page};
    bool Run() { return sequence.Run(launcher, store); }
};

const std::string Dns = ProviderDnsList;
const std::string NetshRun =
    "run netsh.exe [interface ip set address \xB0\xCF\xB0\xEC\xB3\x73\xBD\x75 static 192.168.123.163 "
    "255.255.255.0] in C:\\windows\\system32";

std::string ToolRun(int n) {
    return "run Adapset.exe [" + std::to_string(n) + " 192.168.5.20 255.255.255.0 192.168.5.254 " + Dns +
           "] in C:\\windows";
}

}  // namespace

TEST(ApplySequence, RunsEveryStepInOrderAndRestartsAfterFinish) {
    Sequence s;
    EXPECT_TRUE(s.Run());
    const Journal expected = {
        "wait cursor",
        "next off",
        "exit off",
        "address locked",
        "note shown",
        NetshRun,
        "read address",
        "read gateway",
        ToolRun(1),
        ToolRun(2),
        ToolRun(3),
        "store open",
        "store ip 192.168.5.20",
        "store mask 255.255.255.0",
        "store gateway 192.168.5.254",
        "store dns " + Dns,
        "store close",
        "note closed",
        "restore cursor",
        "finish page",
        "restart",
        "note destroyed",
    };
    EXPECT_EQ(s.journal, expected);
}

TEST(ApplySequence, NetworkShellLiteralIsBig5) {
    const std::string text = CApplySequence::NetworkShellParameters;
    // 區域連線 in code page 950.
    EXPECT_NE(text.find("\xB0\xCF\xB0\xEC\xB3\x73\xBD\x75"), std::string::npos);
    EXPECT_EQ(text.size(), 25u + 8u + 37u);
}

TEST(ApplySequence, ToolAndStoreGetTheFixedMaskAndDnsListWhateverThePageShows) {
    Sequence s;
    s.page.address = "10.20.30.40";
    s.page.gateway = "10.20.30.254";
    s.Run();
    EXPECT_NE(
        std::find(s.journal.begin(), s.journal.end(),
                  "run Adapset.exe [2 10.20.30.40 255.255.255.0 10.20.30.254 " + Dns + "] in C:\\windows"),
        s.journal.end());
    EXPECT_NE(std::find(s.journal.begin(), s.journal.end(), "store mask 255.255.255.0"), s.journal.end());
    EXPECT_NE(std::find(s.journal.begin(), s.journal.end(), "store dns " + Dns), s.journal.end());
}

TEST(ApplySequence, FailedWritesAreIgnoredAndCloseStillFollows) {
    Sequence s;
    s.store.writeResult = false;
    s.Run();
    const auto close = std::find(s.journal.begin(), s.journal.end(), "store close");
    ASSERT_NE(close, s.journal.end());
    EXPECT_EQ(*(close - 1), "store dns " + Dns);
    EXPECT_NE(std::find(s.journal.begin(), s.journal.end(), "restart"), s.journal.end());
}

TEST(ApplySequence, OpenFailureWritesNothingAndLetsTheUserLeave) {
    Sequence s;
    s.store.openResult = false;
    s.Run();
    const Journal tail(s.journal.end() - 5, s.journal.end());
    const Journal expected = {"store open", "note destroyed", "restore cursor", "exit on", "note destroyed"};
    EXPECT_EQ(tail, expected);
    for (const auto& entry : s.journal) {
        EXPECT_EQ(entry.find("store ip"), std::string::npos);
        EXPECT_NE(entry, "finish page");
        EXPECT_NE(entry, "restart");
        EXPECT_NE(entry, "next on");
    }
}

TEST(ApplySequence, FinishPageEndedOtherwiseDoesNotRestart) {
    Sequence s;
    s.page.finishResult = 1;
    s.Run();
    EXPECT_EQ(s.journal.back(), "note destroyed");
    EXPECT_EQ(std::find(s.journal.begin(), s.journal.end(), "restart"), s.journal.end());
}

TEST(ApplySequence, CannotStartAgainWhileItWaitsForAProgram) {
    Sequence s;
    bool nestedResult = true;
    int nestedCalls = 0;
    // A Next pressed while a program runs reaches Run again through the dispatched message.
    s.launcher.onRun = [&] {
        if (nestedCalls++ == 0) nestedResult = s.Run();
    };
    EXPECT_TRUE(s.Run());
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(std::count(s.journal.begin(), s.journal.end(), NetshRun), 1);
    // Once ended, the guard is down again.
    s.journal.clear();
    EXPECT_TRUE(s.Run());
}

TEST(ApplySequence, AnExceptionFromTheStoreStillRemovesTheNoteWindow) {
    Sequence s;
    s.store.throwOnOpen = true;
    EXPECT_THROW(s.Run(), std::bad_alloc);
    EXPECT_EQ(s.journal.back(), "note destroyed");
    s.store.throwOnOpen = false;
    EXPECT_TRUE(s.Run()) << "the running guard must be down after an exception";
}
