#pragma once
// Points, sizes and rectangles in the framework's convention: Right and Bottom are exclusive.
#include <algorithm>

namespace vel {

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr void Offset(int dx, int dy) {
        Left += dx;
        Right += dx;
        Top += dy;
        Bottom += dy;
    }
    constexpr void Inflate(int dx, int dy) {
        Left -= dx;
        Right += dx;
        Top -= dy;
        Bottom += dy;
    }
    constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(int x, int y) {
    return {x, y};
}
constexpr TRect Rect(int l, int t, int r, int b) {
    return {l, t, r, b};
}
constexpr TRect Bounds(int l, int t, int w, int h) {
    return {l, t, l + w, t + h};
}

// Intersection; an empty result is reported as false with Dest cleared to (0,0,0,0).
constexpr bool IntersectRect(TRect& dest, const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty()) {
        dest = TRect{};
        return false;
    }
    dest = r;
    return true;
}
constexpr TRect Intersection(const TRect& a, const TRect& b) {
    TRect r;
    IntersectRect(r, a, b);
    return r;
}
constexpr TRect UnionRect(const TRect& a, const TRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
}
constexpr void InflateRect(TRect& r, int dx, int dy) {
    r.Inflate(dx, dy);
}
constexpr void OffsetRect(TRect& r, int dx, int dy) {
    r.Offset(dx, dy);
}
constexpr bool PtInRect(const TRect& r, TPoint p) {
    return r.Contains(p);
}

}  // namespace vel
