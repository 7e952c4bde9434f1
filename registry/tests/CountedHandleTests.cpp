// The counted holder: one close, by the last user, whatever Close does.
#include <gtest/gtest.h>

#include <stdexcept>

#include "registry/Registry.h"

using BrenlowTools::AddRefIfNotNull;
using BrenlowTools::CCountedHandle;
using BrenlowTools::CCountedRegKey;

namespace {

struct Counters {
    int closes = 0;
    int destructions = 0;
};

class CountingHandle : public CCountedHandle {
public:
    CountingHandle(Counters& counters, bool throwOnClose)
        : CCountedHandle(nullptr), m_counters(counters), m_throwOnClose(throwOnClose) {}
    ~CountingHandle() override { ++m_counters.destructions; }
    void Close() override {
        ++m_counters.closes;
        if (m_throwOnClose) throw std::runtime_error("close failed");
    }

private:
    Counters& m_counters;
    bool m_throwOnClose;
};

TEST(CountedHandle, ClosesOnceWhenTheLastUserReleases) {
    Counters counters;
    CCountedHandle* holder = new CountingHandle(counters, false);
    EXPECT_EQ(holder->AddRef(), holder);
    EXPECT_EQ(holder->AddRef(), holder);
    EXPECT_EQ(holder->Release(), nullptr);
    EXPECT_EQ(holder->Release(), nullptr);
    EXPECT_EQ(counters.closes, 0);
    EXPECT_EQ(counters.destructions, 0);
    EXPECT_EQ(holder->Release(), nullptr);
    EXPECT_EQ(counters.closes, 1);
    EXPECT_EQ(counters.destructions, 1);
}

TEST(CountedHandle, ExceptionFromCloseIsDroppedAndTheHolderStillGoes) {
    Counters counters;
    CCountedHandle* holder = new CountingHandle(counters, true);
    EXPECT_NO_THROW(holder->Release());
    EXPECT_EQ(counters.closes, 1);
    EXPECT_EQ(counters.destructions, 1);
}

TEST(CountedHandle, NullTolerantAddRef) {
    EXPECT_EQ(AddRefIfNotNull(nullptr), nullptr);
    CCountedRegKey* holder = new CCountedRegKey(nullptr);  // null key: closing it is harmless
    EXPECT_EQ(AddRefIfNotNull(holder), holder);
    EXPECT_EQ(holder->Release(), nullptr);
    EXPECT_EQ(holder->GetHandle(), nullptr);  // still alive: one user left
    EXPECT_EQ(holder->Release(), nullptr);
}

}  // namespace
