// Exhausted memory while a key is being adopted: the handle is closed, not leaked.
// This program replaces the global allocation operator so a test can make it fail.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "RegistryTestSupport.h"
#include "registry/Registry.h"

namespace {
std::atomic<bool> g_failNextAllocation{false};
}

void* operator new(std::size_t size) {
    if (g_failNextAllocation.exchange(false)) throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

using BrenlowTools::CRegistryKey;

TEST(AllocationFailure, AdoptingConstructorClosesTheHandleAndRaises) {
    const TestSupport::ScopedTestKey fixture("allocation");
    const HKEY raw = RegistryTests::OpenRaw(fixture.Root(), fixture.Path());
    RegistryTests::ExpectRegistryError(
        [&] {
            g_failNextAllocation = true;
            CRegistryKey key(raw);
        },
        "CRegistryKey::NewCCountedRegKey()", ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(RegistryTests::IsHandleOpen(raw));
}

TEST(AllocationFailure, AssignmentFromAnHkeyLeavesTheKeyAsItWas) {
    const TestSupport::ScopedTestKey fixture("allocation");
    const HKEY kept = RegistryTests::OpenRaw(fixture.Root(), fixture.Path());
    const HKEY offered = RegistryTests::OpenRaw(fixture.Root(), fixture.Path());
    CRegistryKey key(kept);
    RegistryTests::ExpectRegistryError(
        [&] {
            g_failNextAllocation = true;
            key = offered;
        },
        "CRegistryKey::NewCCountedRegKey()", ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(RegistryTests::IsHandleOpen(offered));
    EXPECT_EQ(static_cast<HKEY>(key), kept);
    EXPECT_TRUE(RegistryTests::IsHandleOpen(kept));
}

}  // namespace
