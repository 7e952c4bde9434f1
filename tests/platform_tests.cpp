// Checks that the tests run where they should: under Wine, with code page 950, in
// the build's own prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "test_support/Process.h"
#include "test_support/RegistryFixture.h"

TEST(Platform, AnsiCodePageIsBig5) {
    EXPECT_EQ(GetACP(), 950u);
}

TEST(Platform, RunsInTheBuildTreePrefix) {
    const char* build = std::getenv("TARVELO_BUILD_DIR");
    ASSERT_NE(build, nullptr) << "tests must run through the build's wine-run wrapper";
    const char* artifacts = std::getenv("TARVELO_TEST_ARTIFACTS");
    ASSERT_NE(artifacts, nullptr);
    EXPECT_EQ(std::string(artifacts).rfind(build, 0), 0u);
}

TEST(Platform, FixtureKeyIsRemovedAtTheEnd) {
    std::string path;
    {
        TestSupport::ScopedTestKey key("platform");
        path = key.Path();
        TestSupport::WriteRawValue(key.Root(), key.Sub("child"), "v", TestSupport::StringValue("x"));
        EXPECT_TRUE(TestSupport::KeyExists(HKEY_CURRENT_USER, key.Sub("child")));
    }
    EXPECT_FALSE(TestSupport::KeyExists(HKEY_CURRENT_USER, path));
}

TEST(Platform, ChildProcessOutputAndStatusAreCaptured) {
    const auto result = TestSupport::RunProcess("cmd.exe /c echo hello& exit 3");
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 3u);
    EXPECT_EQ(result.output.substr(0, 5), "hello");
}
