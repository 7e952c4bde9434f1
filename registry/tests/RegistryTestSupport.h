#pragma once
// Helpers for the registry library's tests: raw handles, handle state and exception checks.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "registry/Registry.h"
#include "test_support/RegistryFixture.h"

namespace RegistryTests {

// Opens root\path with plain Win32, for handing to the code under test; fails the test on error.
inline HKEY OpenRaw(HKEY root, const std::string& path, REGSAM access = KEY_ALL_ACCESS) {
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(root, path.c_str(), 0, access, &key);
    EXPECT_EQ(status, ERROR_SUCCESS) << "opening " << path;
    return key;
}

// False once the handle was closed: Windows then answers ERROR_INVALID_HANDLE.
inline bool IsHandleOpen(HKEY key) {
    DWORD subkeys = 0;
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) != ERROR_INVALID_HANDLE;
}

// Runs action and checks that it raises CRegistryKey::Exception with location and code.
template <class Action>
void ExpectRegistryError(Action action, const std::string& location, DWORD code) {
    try {
        action();
        ADD_FAILURE() << "no exception; expected " << location << " / " << code;
    } catch (const BrenlowTools::CRegistryKey::Exception& e) {
        EXPECT_EQ(std::string(e.GetLocation()), location);
        EXPECT_EQ(e.GetErrorCode(), code) << location;
    }
}

// As ExpectRegistryError, for any non-zero code.
template <class Action>
void ExpectRegistryFailure(Action action, const std::string& location) {
    try {
        action();
        ADD_FAILURE() << "no exception; expected " << location;
    } catch (const BrenlowTools::CRegistryKey::Exception& e) {
        EXPECT_EQ(std::string(e.GetLocation()), location);
        EXPECT_NE(e.GetErrorCode(), 0u) << location;
    }
}

// Enables a privilege in the process token (backup and restore for hive files).
inline bool EnablePrivilege(const char* name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const bool enabled = LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid) &&
                         AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                         GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return enabled;
}

// The raw value, or a value of type 0xDEAD with no bytes when it is missing.
inline TestSupport::RawValue ReadOrMissing(const TestSupport::ScopedTestKey& key, const std::string& name) {
    auto value = TestSupport::ReadRawValue(key.Root(), key.Path(), name);
    return value ? *value : TestSupport::RawValue{0xDEAD, {}};
}

}  // namespace RegistryTests
