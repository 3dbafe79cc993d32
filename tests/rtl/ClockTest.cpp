#include <gtest/gtest.h>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateUtils.h"

using namespace vel;

TEST(Clock, VirtualClockMovesTicksAndTimeTogether) {
    TVirtualClock clock(EncodeDateTime(2024, 2, 28, 23, 59, 59, 500), 1000);
    TClockScope scope(clock);
    EXPECT_EQ(GetTickCount(), 1000u);
    clock.Advance(1000);
    EXPECT_EQ(GetTickCount(), 2000u);
    // Crossing midnight into the leap day.
    EXPECT_EQ(Now(), EncodeDateTime(2024, 2, 29, 0, 0, 0, 500));
    EXPECT_EQ(Date(), EncodeDate(2024, 2, 29));
    EXPECT_EQ(Time(), EncodeTime(0, 0, 0, 500));
    clock.Advance(86400000LL * 366);
    EXPECT_EQ(Now(), EncodeDateTime(2025, 3, 1, 0, 0, 0, 500));
    EXPECT_EQ(GetTickCount(), 2000u + 86400000ull * 366);
    // Setting the time leaves the tick count alone: timers keep their schedule.
    clock.SetNow(EncodeDate(1999, 12, 31));
    EXPECT_EQ(GetTickCount(), 2000u + 86400000ull * 366);
    EXPECT_EQ(Today(), EncodeDate(1999, 12, 31));
    EXPECT_EQ(Tomorrow(), EncodeDate(2000, 1, 1));
    EXPECT_EQ(Yesterday(), EncodeDate(1999, 12, 30));
}

TEST(Clock, ScopesNestAndRestore) {
    IClock* real = &Clock();
    EXPECT_NE(dynamic_cast<TRealClock*>(real), nullptr);
    {
        TVirtualClockScope outer(EncodeDate(2001, 1, 1));
        EXPECT_EQ(Date(), EncodeDate(2001, 1, 1));
        {
            TVirtualClockScope inner(EncodeDate(2002, 2, 2), 50);
            EXPECT_EQ(Date(), EncodeDate(2002, 2, 2));
            inner->Advance(10);
            EXPECT_EQ(GetTickCount(), 60u);
        }
        EXPECT_EQ(Date(), EncodeDate(2001, 1, 1));
        EXPECT_EQ(GetTickCount(), 0u);
    }
    EXPECT_EQ(&Clock(), real);
    TVirtualClock c;
    SetClock(&c);
    EXPECT_EQ(&Clock(), &c);
    SetClock(nullptr);
    EXPECT_EQ(&Clock(), real);
}
