// Scope guards run their cleanup once, however the scope is left.
#include <stdexcept>

#include "platform/rtl/ScopeGuard.h"

using namespace vel;

TEST(ScopeGuard, CleanupRunsOnReturnAndOnExceptionButNotAfterRelease) {
    int runs = 0;
    { TScopeExit g([&] { ++runs; }); }
    EXPECT_EQ(runs, 1);
    EXPECT_THROW(
        {
            TScopeExit g([&] { ++runs; });
            throw std::runtime_error("body");
        },
        std::runtime_error);
    EXPECT_EQ(runs, 2);
    {
        TScopeExit g([&] { ++runs; });
        g.Release();
    }
    EXPECT_EQ(runs, 2);
}

TEST(ScopeGuard, TheFirstErrorWins) {
    // Leaving normally, the cleanup's own error reaches the caller.
    try {
        { TScopeExit g([] { throw std::runtime_error("cleanup"); }); }
        FAIL() << "the cleanup's error was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "cleanup");
    }
    // Leaving by an error, the cleanup's error is dropped and the body's propagates.
    try {
        TScopeExit g([] { throw std::runtime_error("cleanup"); });
        throw std::logic_error("body");
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "body");
    }
}

TEST(ScopeGuard, RestoreGivesTheOldValueBackEvenWhenNested) {
    int lock = 0;
    bool busy = false;
    try {
        TRestore<int> outer(lock, lock + 1);
        TRestore<bool> flag(busy, true);
        {
            TRestore<int> inner(lock, lock + 1);
            EXPECT_EQ(lock, 2);
        }
        EXPECT_EQ(lock, 1);
        EXPECT_TRUE(busy);
        throw std::runtime_error("x");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(lock, 0);
    EXPECT_FALSE(busy);
}
