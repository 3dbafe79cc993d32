#pragma once
// Basic value types shared by the run-time library, the database layer and the library.
#include <compare>
#include <cstdint>

namespace vel {

// Days since 1899-12-30 with the time of day as the fraction. Before the epoch the integral
// part counts days backwards and the fraction still counts the time forwards: -1.25 is
// 1899-12-29 06:00.
using TDateTime = double;

// Fixed point with four decimals, kept as an integer count of 1/10000 units.
struct Currency {
    std::int64_t Value = 0;  // units of 0.0001

    static constexpr Currency FromScaled(std::int64_t scaled) { return Currency{scaled}; }
    constexpr bool operator==(const Currency&) const = default;
    constexpr auto operator<=>(const Currency&) const = default;
};

}  // namespace vel
