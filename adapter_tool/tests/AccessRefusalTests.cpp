// The elevation hint: which open statuses lead to it, that it comes once per run on
// the given stream after standard output, and that the exit status passes unchanged.
// Wine grants every registry access, so the decision is tested here in-process.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "AccessRefusal.h"

namespace {

// Collects what FinishWithAccessHint writes, through a real FILE stream.
class AccessHint : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetAccessRefusals();
        m_stream = tmpfile();
        ASSERT_NE(m_stream, nullptr);
    }
    void TearDown() override {
        if (m_stream != nullptr) fclose(m_stream);
        ForgetAccessRefusals();
    }
    std::string Written() {
        fflush(m_stream);
        rewind(m_stream);
        std::string text;
        for (int c = fgetc(m_stream); c != EOF; c = fgetc(m_stream)) text += static_cast<char>(c);
        return text;
    }
    FILE* m_stream = nullptr;
};

TEST_F(AccessHint, OnlyAccessDeniedCountsAsARefusal) {
    for (LONG status : {ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_BAD_PATHNAME,
                        ERROR_INVALID_HANDLE, ERROR_MORE_DATA, ERROR_PRIVILEGE_NOT_HELD}) {
        EXPECT_EQ(NoteOpenStatus(status), status);
        EXPECT_FALSE(AccessWasRefused()) << status;
    }
    EXPECT_EQ(NoteOpenStatus(ERROR_ACCESS_DENIED), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(AccessWasRefused());
}

TEST_F(AccessHint, NoRefusalWritesNothingAndKeepsTheStatus) {
    NoteOpenStatus(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FinishWithAccessHint(35, m_stream), 35);
    EXPECT_EQ(Written(), "");
}

TEST_F(AccessHint, ARefusalAddsExactlyOneLineAndKeepsTheStatus) {
    // A listing refused at the NetworkCards key, then the adapter key refused too.
    NoteOpenStatus(ERROR_ACCESS_DENIED);
    NoteOpenStatus(ERROR_SUCCESS);
    NoteOpenStatus(ERROR_ACCESS_DENIED);
    EXPECT_EQ(FinishWithAccessHint(23 + 5, m_stream), 28);
    const std::string text = Written();
    EXPECT_EQ(text, kElevationHint);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line, ending in a line feed";
    EXPECT_NE(text.find("elevated"), std::string::npos);
}

TEST_F(AccessHint, ALaterSuccessDoesNotClearARefusal) {
    NoteOpenStatus(ERROR_ACCESS_DENIED);
    NoteOpenStatus(ERROR_SUCCESS);
    EXPECT_TRUE(AccessWasRefused());
    EXPECT_EQ(FinishWithAccessHint(0, m_stream), 0);
    EXPECT_EQ(Written(), kElevationHint);
}

TEST_F(AccessHint, ForgettingStartsANewRun) {
    NoteOpenStatus(ERROR_ACCESS_DENIED);
    ForgetAccessRefusals();
    EXPECT_FALSE(AccessWasRefused());
    EXPECT_EQ(FinishWithAccessHint(160, m_stream), 160);
    EXPECT_EQ(Written(), "");
}

}  // namespace
