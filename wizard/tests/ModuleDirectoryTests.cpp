#include <gtest/gtest.h>
#include <windows.h>

#include "apply/ModuleDirectory.h"
#include "test_support/Process.h"

TEST(ModuleDirectory, IsTheProgramDirectoryWithTrailingBackslash) {
    const std::string directory = GetModuleDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '\\');
    EXPECT_EQ(_stricmp(directory.c_str(), TestSupport::ModuleDirectory().c_str()), 0) << directory;
    EXPECT_NE(GetFileAttributesA((directory + "wizard_logic_tests.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}
