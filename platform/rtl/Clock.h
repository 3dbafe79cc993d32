#pragma once
// The process clock: a tick counter for timers and the local date and time. Tests replace it
// with a TVirtualClock so that nothing depends on the wall clock; timers fire from it.
#include <cstdint>

#include "platform/rtl/Types.h"

namespace vel {

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds from an arbitrary start, never going backwards.
    virtual std::uint64_t GetTickCount() const = 0;
    // Local date and time.
    virtual TDateTime Now() const = 0;
};

// The system's monotonic counter and local time.
class TRealClock : public IClock {
public:
    std::uint64_t GetTickCount() const override;
    TDateTime Now() const override;
};

// A clock that moves only when told to.
class TVirtualClock : public IClock {
public:
    // Starts at 2024-01-15 10:00 with tick count 0 unless told otherwise.
    TVirtualClock();
    explicit TVirtualClock(TDateTime now, std::uint64_t ticks = 0);

    std::uint64_t GetTickCount() const override { return FTicks; }
    TDateTime Now() const override { return FNow; }

    // Sets the date and time; the tick count stays (it never goes backwards).
    void SetNow(TDateTime value) { FNow = value; }
    void SetTickCount(std::uint64_t value) { FTicks = value; }
    // Moves the tick count and the date and time forward together.
    void Advance(std::uint64_t milliseconds);

private:
    TDateTime FNow;
    std::uint64_t FTicks;
};

// The clock in use; SetClock(nullptr) returns to the real one. The caller keeps ownership.
IClock& Clock();
void SetClock(IClock* clock);

// Installs a clock for its lifetime and restores the previous one afterwards.
class TClockScope {
public:
    explicit TClockScope(IClock& clock);
    ~TClockScope();
    TClockScope(const TClockScope&) = delete;
    TClockScope& operator=(const TClockScope&) = delete;

private:
    IClock* FSaved;
};

// A virtual clock installed for the lifetime of the scope (the usual test fixture).
class TVirtualClockScope {
public:
    TVirtualClockScope() : FScope(FClock) {}
    explicit TVirtualClockScope(TDateTime now, std::uint64_t ticks = 0)
        : FClock(now, ticks), FScope(FClock) {}
    TVirtualClock& operator*() { return FClock; }
    TVirtualClock* operator->() { return &FClock; }

private:
    TVirtualClock FClock;
    TClockScope FScope;
};

std::uint64_t GetTickCount();
TDateTime Now();
// Today at midnight.
TDateTime Date();
// The time of day only.
TDateTime Time();

}  // namespace vel
