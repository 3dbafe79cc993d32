#pragma once
// A set over an enum class: bit i stands for the i-th value, as the classic sets do, so a set
// converts to and from the integer mask that form files and settings texts store.
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace vel {

template <typename E>
class TSet {
    static_assert(std::is_enum_v<E>, "TSet is a set over an enumeration");

public:
    using Mask = std::uint64_t;

    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values) FMask |= Bit(v);
    }
    static constexpr TSet FromMask(Mask mask) {
        TSet s;
        s.FMask = mask;
        return s;
    }
    constexpr Mask ToMask() const { return FMask; }

    constexpr bool Contains(E v) const { return (FMask & Bit(v)) != 0; }
    constexpr TSet& Include(E v) {
        FMask |= Bit(v);
        return *this;
    }
    constexpr TSet& Exclude(E v) {
        FMask &= ~Bit(v);
        return *this;
    }
    constexpr bool Empty() const { return FMask == 0; }
    constexpr int Count() const { return __builtin_popcountll(FMask); }

    constexpr TSet operator+(TSet o) const { return FromMask(FMask | o.FMask); }
    constexpr TSet operator-(TSet o) const { return FromMask(FMask & ~o.FMask); }
    constexpr TSet operator*(TSet o) const { return FromMask(FMask & o.FMask); }
    constexpr TSet operator+(E v) const { return FromMask(FMask | Bit(v)); }
    constexpr TSet operator-(E v) const { return FromMask(FMask & ~Bit(v)); }
    constexpr TSet& operator+=(TSet o) {
        FMask |= o.FMask;
        return *this;
    }
    constexpr TSet& operator-=(TSet o) {
        FMask &= ~o.FMask;
        return *this;
    }
    constexpr TSet& operator*=(TSet o) {
        FMask &= o.FMask;
        return *this;
    }
    constexpr TSet& operator+=(E v) { return Include(v); }
    constexpr TSet& operator-=(E v) { return Exclude(v); }
    constexpr bool operator==(const TSet& o) const = default;
    // a <= b: every member of a is in b.
    constexpr bool operator<=(TSet o) const { return (FMask & ~o.FMask) == 0; }
    constexpr bool operator>=(TSet o) const { return o <= *this; }

private:
    static constexpr Mask Bit(E v) { return Mask{1} << static_cast<unsigned>(v); }
    Mask FMask = 0;
};

}  // namespace vel
