// Exhausted memory while a key is being adopted: the handle is closed, not leaked.
// This program replaces the global allocation operator so a test can make it fail.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "RegistryTestSupport.h"
#include "registry/Registry.h"

namespace {
// Allocations that still succeed before one fails; -1: none fails.
std::atomic<int> g_allocationsLeft{-1};
}  // namespace

void* operator new(std::size_t size) {
    if (g_allocationsLeft >= 0 && g_allocationsLeft-- == 0) throw std::bad_alloc();
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
            g_allocationsLeft = 0;
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
            g_allocationsLeft = 0;
            key = offered;
        },
        "CRegistryKey::NewCCountedRegKey()", ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(RegistryTests::IsHandleOpen(offered));
    EXPECT_EQ(static_cast<HKEY>(key), kept);
    EXPECT_TRUE(RegistryTests::IsHandleOpen(kept));
}

TEST(AllocationFailure, IteratorAssignmentCompletesOrChangesNothing) {
    const TestSupport::ScopedTestKey fixture("allocation");
    TestSupport::CreateKey(fixture.Root(), fixture.Sub("a\\" + std::string(100, 'n')));
    const CRegistryKey root(RegistryTests::OpenRaw(fixture.Root(), fixture.Path()));
    const auto source = root.OpenSubkey("a").SubkeysBegin();  // larger buffers than the target's
    for (int allowed = 0;; ++allowed) {
        auto target = root.SubkeysBegin();
        try {
            g_allocationsLeft = allowed;
            target = source;
            g_allocationsLeft = -1;
            EXPECT_STREQ(target.GetName(), source.GetName());
            return;
        } catch (const std::bad_alloc&) {
            EXPECT_TRUE(target != source) << "failed allocation " << allowed;
            EXPECT_STREQ(target.GetName(), "a") << "failed allocation " << allowed;
        }
    }
}

}  // namespace
