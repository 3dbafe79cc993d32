#include "platform/rtl/Clock.h"

#include <atomic>
#include <chrono>
#include <ctime>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateUtils.h"

namespace vel {

namespace {
TRealClock gRealClock;
std::atomic<IClock*> gClock{nullptr};
}  // namespace

std::uint64_t TRealClock::GetTickCount() const {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TDateTime TRealClock::Now() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    const int ms = static_cast<int>(
        duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&secs, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec, ms < 0 ? 0 : ms);
}

TVirtualClock::TVirtualClock() : TVirtualClock(EncodeDateTime(2024, 1, 15, 10, 0, 0, 0)) {}

TVirtualClock::TVirtualClock(TDateTime now, std::uint64_t ticks) : FNow(now), FTicks(ticks) {}

void TVirtualClock::Advance(std::uint64_t milliseconds) {
    FTicks += milliseconds;
    FNow = IncMilliSecond(FNow, static_cast<std::int64_t>(milliseconds));
}

IClock& Clock() {
    IClock* c = gClock.load(std::memory_order_acquire);
    return c ? *c : gRealClock;
}

void SetClock(IClock* clock) { gClock.store(clock, std::memory_order_release); }

TClockScope::TClockScope(IClock& clock) : FSaved(gClock.load()) { SetClock(&clock); }

TClockScope::~TClockScope() { SetClock(FSaved); }

std::uint64_t GetTickCount() { return Clock().GetTickCount(); }
TDateTime Now() { return Clock().Now(); }
TDateTime Date() { return DateOf(Now()); }
TDateTime Time() { return TimeOf(Now()); }

}  // namespace vel
