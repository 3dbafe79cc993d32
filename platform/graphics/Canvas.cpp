#include "platform/graphics/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/graphics/Text.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CLASS(TCanvas, TPersistent)

struct TCanvas::State {
    bool HasRegion;
    std::vector<TRect> Region;
    TPoint Origin;
    TPoint WindowOrg;
    bool HasDeviceClip;
    TRect DeviceClip;
};

namespace {

// Subtracts Cut from R, appending the remaining pieces (at most four) to Out.
void SubtractRect(const TRect& r, const TRect& cut, std::vector<TRect>& out) {
    TRect i;
    if (!IntersectRect(i, r, cut)) {
        out.push_back(r);
        return;
    }
    if (r.Top < i.Top) out.push_back({r.Left, r.Top, r.Right, i.Top});
    if (i.Bottom < r.Bottom) out.push_back({r.Left, i.Bottom, r.Right, r.Bottom});
    if (r.Left < i.Left) out.push_back({r.Left, i.Top, i.Left, i.Bottom});
    if (i.Right < r.Right) out.push_back({i.Right, i.Top, r.Right, i.Bottom});
}

TPixel ApplyPenMode(TPixel dst, TPixel pen, TPenMode mode) {
    const TPixel a = 0xFF000000u;
    switch (mode) {
        case TPenMode::pmBlack:
            return a;
        case TPenMode::pmWhite:
            return 0xFFFFFFFFu;
        case TPenMode::pmNop:
            return dst;
        case TPenMode::pmNot:
            return (dst ^ 0xFFFFFF) | a;
        case TPenMode::pmCopy:
            return pen;
        case TPenMode::pmNotCopy:
            return (~pen & 0xFFFFFF) | a;
        case TPenMode::pmMergePenNot:
            return (pen | ~dst) | a;
        case TPenMode::pmMaskPenNot:
            return (pen & ~dst & 0xFFFFFF) | a;
        case TPenMode::pmMergeNotPen:
            return (~pen | dst) | a;
        case TPenMode::pmMaskNotPen:
            return (~pen & dst & 0xFFFFFF) | a;
        case TPenMode::pmMerge:
            return (pen | dst) | a;
        case TPenMode::pmNotMerge:
            return (~(pen | dst) & 0xFFFFFF) | a;
        case TPenMode::pmMask:
            return (pen & dst) | a;
        case TPenMode::pmNotMask:
            return (~(pen & dst) & 0xFFFFFF) | a;
        case TPenMode::pmXor:
            return ((pen ^ dst) & 0xFFFFFF) | a;
        case TPenMode::pmNotXor:
            return (~(pen ^ dst) & 0xFFFFFF) | a;
    }
    return pen;
}

// On/off run lengths of the cosmetic pen styles.
const std::vector<int>& DashPattern(TPenStyle s) {
    static const std::vector<int> none, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
        dashDotDot{9, 3, 3, 3, 3, 3}, alternate{1, 1};
    switch (s) {
        case TPenStyle::psDash:
            return dash;
        case TPenStyle::psDot:
            return dot;
        case TPenStyle::psDashDot:
            return dashDot;
        case TPenStyle::psDashDotDot:
            return dashDotDot;
        case TPenStyle::psAlternate:
            return alternate;
        default:
            return none;
    }
}

// 8x8 hatch patterns, one byte per row, bit 7 = leftmost pixel.
const unsigned char* HatchPattern(TBrushStyle s) {
    static const unsigned char horizontal[8] = {0, 0, 0, 0, 0, 0, 0, 0xFF};
    static const unsigned char vertical[8] = {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};
    static const unsigned char fdiag[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
    static const unsigned char bdiag[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    static const unsigned char cross[8] = {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF};
    static const unsigned char diagCross[8] = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
    switch (s) {
        case TBrushStyle::bsHorizontal:
            return horizontal;
        case TBrushStyle::bsVertical:
            return vertical;
        case TBrushStyle::bsFDiagonal:
            return fdiag;
        case TBrushStyle::bsBDiagonal:
            return bdiag;
        case TBrushStyle::bsCross:
            return cross;
        case TBrushStyle::bsDiagCross:
            return diagCross;
        default:
            return nullptr;
    }
}

}  // namespace

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()),
      FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()) {
    FFont->SetOnChange([this](TObject* s) { ToolChanged(s); });
}

TCanvas::TCanvas(TBitmap* target) : TCanvas() {
    FTarget = target;
}

TCanvas::~TCanvas() = default;

void TCanvas::ToolChanged(TObject* sender) {
    if (sender == FFont.get()) FFace = nullptr;
}

void TCanvas::SetTarget(TBitmap* target) {
    FTarget = target;
    InvalidateClip();
}

void TCanvas::SetDeviceOrigin(TPoint origin) {
    if (origin == FOrigin) return;
    FOrigin = origin;
}

void TCanvas::SetWindowOrg(TPoint org) {
    FWindowOrg = org;
}

void TCanvas::SetDeviceClip(const TRect& surfaceRect) {
    FHasDeviceClip = true;
    FDeviceClip = surfaceRect;
    InvalidateClip();
}

void TCanvas::ResetDeviceClip() {
    FHasDeviceClip = false;
    InvalidateClip();
}

TRect TCanvas::ToDevice(const TRect& r) const {
    const TPoint d = ToDevice(TPoint{0, 0});
    return {r.Left + d.X, r.Top + d.Y, r.Right + d.X, r.Bottom + d.Y};
}

TRect TCanvas::FromDevice(const TRect& r) const {
    const TPoint d = ToDevice(TPoint{0, 0});
    return {r.Left - d.X, r.Top - d.Y, r.Right - d.X, r.Bottom - d.Y};
}

const std::vector<TRect>& TCanvas::DeviceClipRects() const {
    const TRect surface =
        FTarget ? TRect{0, 0, FTarget->GetWidth(), FTarget->GetHeight()} : TRect{};
    if (FClipValid && surface == FClipSurface) return FClipRects;
    FClipSurface = surface;
    FClipRects.clear();
    TRect base = surface;
    if (FHasDeviceClip) base = Intersection(base, FDeviceClip);
    if (!base.IsEmpty()) {
        if (FHasRegion) {
            for (const TRect& r : FRegion) {
                TRect i;
                if (IntersectRect(i, r, base)) FClipRects.push_back(i);
            }
        } else {
            FClipRects.push_back(base);
        }
    }
    FClipValid = true;
    return FClipRects;
}

TRect TCanvas::ClipRect() const {
    TRect box;
    for (const TRect& r : DeviceClipRects()) box = UnionRect(box, r);
    return FromDevice(box);
}

bool TCanvas::RectVisible(const TRect& r) const {
    const TRect d = ToDevice(r);
    for (const TRect& c : DeviceClipRects())
        if (!Intersection(c, d).IsEmpty()) return true;
    return false;
}

void TCanvas::IntersectClipRect(const TRect& r) {
    const TRect d = ToDevice(r);
    if (!FHasRegion) {
        FHasRegion = true;
        FRegion.assign(1, d);
    } else {
        std::vector<TRect> next;
        for (const TRect& c : FRegion) {
            TRect i;
            if (IntersectRect(i, c, d)) next.push_back(i);
        }
        FRegion.swap(next);
    }
    InvalidateClip();
}

void TCanvas::ExcludeClipRect(const TRect& r) {
    const TRect d = ToDevice(r);
    if (!FHasRegion) {
        FHasRegion = true;
        // "Everything" is bounded by what can ever be painted.
        TRect all = FTarget ? TRect{0, 0, FTarget->GetWidth(), FTarget->GetHeight()} : TRect{};
        if (FHasDeviceClip) all = Intersection(all, FDeviceClip);
        FRegion.assign(1, all);
    }
    std::vector<TRect> next;
    for (const TRect& c : FRegion) SubtractRect(c, d, next);
    FRegion.swap(next);
    InvalidateClip();
}

void TCanvas::SelectClipRect(const TRect& r) {
    FHasRegion = true;
    FRegion.assign(1, ToDevice(r));
    InvalidateClip();
}

void TCanvas::SelectClipNone() {
    FHasRegion = false;
    FRegion.clear();
    InvalidateClip();
}

int TCanvas::SaveDC() {
    FSaved.push_back(State{FHasRegion, FRegion, FOrigin, FWindowOrg, FHasDeviceClip, FDeviceClip});
    return int(FSaved.size());
}

bool TCanvas::RestoreDC(int level) {
    const int count = int(FSaved.size());
    const int target = level < 0 ? count + level + 1 : level;  // level to restore
    if (target < 1 || target > count) return false;
    State s = std::move(FSaved[std::size_t(target - 1)]);
    FSaved.resize(std::size_t(target - 1));
    FHasRegion = s.HasRegion;
    FRegion = std::move(s.Region);
    FOrigin = s.Origin;
    FWindowOrg = s.WindowOrg;
    FHasDeviceClip = s.HasDeviceClip;
    FDeviceClip = s.DeviceClip;
    InvalidateClip();
    return true;
}

void TCanvas::FillDeviceRect(const TRect& d, TPixel p) {
    for (const TRect& c : DeviceClipRects()) {
        TRect i;
        if (!IntersectRect(i, c, d)) continue;
        for (int y = i.Top; y < i.Bottom; ++y) {
            TPixel* row = FTarget->ScanLine(y);
            std::fill(row + i.Left, row + i.Right, p);
        }
    }
}

void TCanvas::InvertDeviceRect(const TRect& d) {
    for (const TRect& c : DeviceClipRects()) {
        TRect i;
        if (!IntersectRect(i, c, d)) continue;
        for (int y = i.Top; y < i.Bottom; ++y) {
            TPixel* row = FTarget->ScanLine(y);
            for (int x = i.Left; x < i.Right; ++x) row[x] ^= 0xFFFFFF;
        }
    }
}

void TCanvas::FillRectColor(const TRect& r, TColor c) {
    if (!FTarget) return;
    FillDeviceRect(ToDevice(r), PixelFromColor(c));
}

void TCanvas::FillRect(const TRect& r) {
    if (!FTarget) return;
    const TBrushStyle style = FBrush->GetStyle();
    if (style == TBrushStyle::bsClear) return;
    const TPixel p = PixelFromColor(FBrush->GetColor());
    const TRect d = ToDevice(r);
    if (style == TBrushStyle::bsSolid) {
        FillDeviceRect(d, p);
        return;
    }
    const unsigned char* pat = HatchPattern(style);
    for (const TRect& c : DeviceClipRects()) {
        TRect i;
        if (!IntersectRect(i, c, d)) continue;
        for (int y = i.Top; y < i.Bottom; ++y) {
            TPixel* row = FTarget->ScanLine(y);
            const unsigned bits = pat[y & 7];
            for (int x = i.Left; x < i.Right; ++x)
                if (bits & (0x80u >> (x & 7))) row[x] = p;
        }
    }
}

void TCanvas::FrameRect(const TRect& r) {
    if (!FTarget || r.IsEmpty()) return;
    const TPixel p = PixelFromColor(FBrush->GetColor());
    const TRect d = ToDevice(r);
    FillDeviceRect({d.Left, d.Top, d.Right, d.Top + 1}, p);
    FillDeviceRect({d.Left, d.Bottom - 1, d.Right, d.Bottom}, p);
    FillDeviceRect({d.Left, d.Top, d.Left + 1, d.Bottom}, p);
    FillDeviceRect({d.Right - 1, d.Top, d.Right, d.Bottom}, p);
}

void TCanvas::DrawFocusRect(const TRect& r) {
    if (!FTarget || r.IsEmpty()) return;
    const TRect d = ToDevice(r);
    // Every other pixel on the checkerboard of the surface, inverted.
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) != 0) return;
        for (const TRect& c : DeviceClipRects())
            if (c.Contains({x, y})) {
                FTarget->ScanLine(y)[x] ^= 0xFFFFFF;
                return;
            }
    };
    for (int x = d.Left; x < d.Right; ++x) {
        dot(x, d.Top);
        if (d.Bottom - 1 > d.Top) dot(x, d.Bottom - 1);
    }
    for (int y = d.Top + 1; y < d.Bottom - 1; ++y) {
        dot(d.Left, y);
        if (d.Right - 1 > d.Left) dot(d.Right - 1, y);
    }
}

TColor TCanvas::GetPixel(int x, int y) const {
    if (!FTarget) return clNone;
    const TPoint d = ToDevice(TPoint{x, y});
    for (const TRect& c : DeviceClipRects())
        if (c.Contains(d)) return TColor(RefFromPixel(FTarget->ScanLine(d.Y)[d.X]));
    return clNone;
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    if (!FTarget) return;
    const TPoint d = ToDevice(TPoint{x, y});
    for (const TRect& c : DeviceClipRects())
        if (c.Contains(d)) {
            FTarget->ScanLine(d.Y)[d.X] = PixelFromColor(color);
            return;
        }
}

void TCanvas::PlotDevice(int x, int y, TPixel p) {
    for (const TRect& c : DeviceClipRects())
        if (c.Contains({x, y})) {
            TPixel& dst = FTarget->ScanLine(y)[x];
            dst = ApplyPenMode(dst, p, FPen->GetMode());
            return;
        }
}

void TCanvas::DrawLineDevice(TPoint a, TPoint b, bool includeEnd) {
    const TPenStyle style = FPen->GetStyle();
    if (style == TPenStyle::psClear || !FTarget) return;
    const TPixel p = PixelFromColor(FPen->GetColor());
    const int width = std::max(1, FPen->GetWidth());
    const std::vector<int>& dashes =
        width == 1 ? DashPattern(style) : DashPattern(TPenStyle::psSolid);
    // Fast path: solid copy lines along an axis are rectangles.
    if (dashes.empty() && FPen->GetMode() == TPenMode::pmCopy && (a.X == b.X || a.Y == b.Y)) {
        const int lo = width / 2, hi = width - lo;
        TRect r;
        if (a.Y == b.Y) {
            int x1 = std::min(a.X, b.X), x2 = std::max(a.X, b.X);
            if (a.X <= b.X)
                x2 += includeEnd ? 1 : 0;
            else
                x1 += includeEnd ? 0 : 1, x2 += 1;
            r = {x1, a.Y - lo, x2, a.Y + hi};
        } else {
            int y1 = std::min(a.Y, b.Y), y2 = std::max(a.Y, b.Y);
            if (a.Y <= b.Y)
                y2 += includeEnd ? 1 : 0;
            else
                y1 += includeEnd ? 0 : 1, y2 += 1;
            r = {a.X - lo, y1, a.X + hi, y2};
        }
        if (width > 1) {
            // Wide pens cap the ends squarely around both end points.
            if (a.Y == b.Y)
                r.Left -= lo, r.Right += hi - 1;
            else
                r.Top -= lo, r.Bottom += hi - 1;
        }
        FillDeviceRect(r, p);
        return;
    }
    int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
    const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
    int err = dx + dy;
    int x = a.X, y = a.Y;
    std::size_t dashIndex = 0;
    int dashLeft = dashes.empty() ? 0 : dashes[0];
    for (;;) {
        const bool last = x == b.X && y == b.Y;
        if (last && !includeEnd) break;
        bool on = true;
        if (!dashes.empty()) {
            on = (dashIndex % 2) == 0;
            if (--dashLeft == 0) {
                dashIndex = (dashIndex + 1) % dashes.size();
                dashLeft = dashes[dashIndex];
            }
        }
        if (on) {
            if (width == 1) {
                PlotDevice(x, y, p);
            } else {
                const int lo = width / 2;
                for (int yy = y - lo; yy < y - lo + width; ++yy)
                    for (int xx = x - lo; xx < x - lo + width; ++xx) PlotDevice(xx, yy, p);
            }
        }
        if (last) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
}

void TCanvas::LineTo(int x, int y) {
    DrawLineDevice(ToDevice(FPenPos), ToDevice(TPoint{x, y}), false);
    FPenPos = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& pts) {
    if (pts.empty()) return;
    MoveTo(pts[0].X, pts[0].Y);
    for (std::size_t i = 1; i < pts.size(); ++i) LineTo(pts[i].X, pts[i].Y);
}

void TCanvas::FillPolygonDevice(const std::vector<TPoint>& pts, TPixel p) {
    if (pts.size() < 3) return;
    int minY = pts[0].Y, maxY = pts[0].Y;
    for (const TPoint& q : pts) minY = std::min(minY, q.Y), maxY = std::max(maxY, q.Y);
    std::vector<double> xs;
    for (int y = minY; y < maxY; ++y) {
        const double sy = y + 0.5;
        xs.clear();
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const TPoint& a = pts[i];
            const TPoint& b = pts[(i + 1) % pts.size()];
            if ((a.Y <= sy && b.Y > sy) || (b.Y <= sy && a.Y > sy))
                xs.push_back(a.X + (sy - a.Y) * double(b.X - a.X) / double(b.Y - a.Y));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            const int x1 = int(std::ceil(xs[i] - 0.5)), x2 = int(std::ceil(xs[i + 1] - 0.5));
            if (x2 > x1) FillDeviceRect({x1, y, x2, y + 1}, p);
        }
    }
}

void TCanvas::Polygon(const std::vector<TPoint>& pts) {
    if (pts.empty() || !FTarget) return;
    std::vector<TPoint> d;
    d.reserve(pts.size());
    for (const TPoint& q : pts) d.push_back(ToDevice(q));
    if (FBrush->GetStyle() != TBrushStyle::bsClear)
        FillPolygonDevice(d, PixelFromColor(FBrush->GetColor()));
    for (std::size_t i = 0; i < d.size(); ++i) DrawLineDevice(d[i], d[(i + 1) % d.size()], false);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (!FTarget) return;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const bool outline = FPen->GetStyle() != TPenStyle::psClear;
    if (FBrush->GetStyle() != TBrushStyle::bsClear) {
        // Without a pen the shape loses its right and bottom line.
        FillRect(outline ? TRect{x1, y1, x2, y2} : TRect{x1, y1, x2 - 1, y2 - 1});
    }
    if (!outline || x2 - x1 < 1 || y2 - y1 < 1) return;
    const TPoint a = ToDevice(TPoint{x1, y1});
    const TPoint b = ToDevice(TPoint{x2 - 1, y2 - 1});
    DrawLineDevice(a, {b.X, a.Y}, false);
    DrawLineDevice({b.X, a.Y}, b, false);
    DrawLineDevice(b, {a.X, b.Y}, false);
    DrawLineDevice({a.X, b.Y}, a, false);
}

namespace {
// Horizontal extent [l, r) of row y inside a rounded rectangle with corner ellipse rx, ry.
void RoundSpan(int x1, int y1, int x2, int y2, double rx, double ry, int y, int& l, int& r) {
    l = x1;
    r = x2;
    if (rx <= 0 || ry <= 0) return;
    const double cy = y + 0.5;
    double dy = 0;
    if (cy < y1 + ry)
        dy = y1 + ry - cy;
    else if (cy > y2 - ry)
        dy = cy - (y2 - ry);
    else
        return;
    const double t = std::max(0.0, 1.0 - (dy * dy) / (ry * ry));
    const double inset = rx - rx * std::sqrt(t);
    l = x1 + int(std::lround(inset));
    r = x2 - int(std::lround(inset));
}
}  // namespace

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    if (!FTarget) return;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const double rx = std::min(std::abs(x3), x2 - x1) / 2.0,
                 ry = std::min(std::abs(y3), y2 - y1) / 2.0;
    const bool outline = FPen->GetStyle() != TPenStyle::psClear;
    const TPoint o = ToDevice(TPoint{0, 0});
    std::vector<std::pair<int, int>> spans;
    for (int y = y1; y < y2; ++y) {
        int l, r;
        RoundSpan(x1, y1, x2, y2, rx, ry, y, l, r);
        spans.emplace_back(l, r);
    }
    if (FBrush->GetStyle() != TBrushStyle::bsClear) {
        const TPixel p = PixelFromColor(FBrush->GetColor());
        for (int y = y1; y < y2; ++y) {
            auto [l, r] = spans[std::size_t(y - y1)];
            if (r > l) FillDeviceRect({l + o.X, y + o.Y, r + o.X, y + 1 + o.Y}, p);
        }
    }
    if (!outline) return;
    const TPixel p = PixelFromColor(FPen->GetColor());
    for (int y = y1; y < y2; ++y) {
        auto [l, r] = spans[std::size_t(y - y1)];
        if (r <= l) continue;
        const bool edgeRow = y == y1 || y == y2 - 1;
        if (edgeRow) {
            for (int x = l; x < r; ++x) PlotDevice(x + o.X, y + o.Y, p);
            continue;
        }
        // Runs reach the neighbouring rows' ends so that steep parts stay closed.
        auto [al, ar] = spans[std::size_t(y - 1 - y1)];
        auto [bl, br] = spans[std::size_t(y + 1 - y1)];
        const int left2 = std::max(l + 1, std::min(al, bl));
        const int right1 = std::min(r - 1, std::max(ar, br));
        for (int x = l; x < std::max(l + 1, left2); ++x) PlotDevice(x + o.X, y + o.Y, p);
        for (int x = std::max(right1, std::max(l + 1, left2)); x < r; ++x)
            PlotDevice(x + o.X, y + o.Y, p);
    }
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    RoundRect(x1, y1, x2, y2, x2 - x1, y2 - y1);
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
    if (graphic.GetEmpty()) return;
    graphic.Draw(*this, Bounds(x, y, graphic.GetWidth(), graphic.GetHeight()));
}

void TCanvas::StretchDraw(const TRect& r, const TGraphic& graphic) {
    if (graphic.GetEmpty()) return;
    graphic.Draw(*this, r);
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect) {
    if (!FTarget || !source.FTarget) return;
    if (dest.Width() == sourceRect.Width() && dest.Height() == sourceRect.Height()) {
        BitBlt(*this, dest.Left, dest.Top, dest.Width(), dest.Height(), source, sourceRect.Left,
               sourceRect.Top, FCopyMode);
        return;
    }
    // Stretched copies go through a snapshot of the source area.
    TBitmap snap(std::abs(sourceRect.Width()), std::abs(sourceRect.Height()));
    BitBlt(snap.Canvas(), 0, 0, snap.GetWidth(), snap.GetHeight(), source,
           std::min(sourceRect.Left, sourceRect.Right), std::min(sourceRect.Top, sourceRect.Bottom),
           SRCCOPY);
    BlitBitmap(*this, dest, snap, {0, 0, snap.GetWidth(), snap.GetHeight()}, TBlitMode::bmCopy);
}

TFontFace& TCanvas::FontFace() {
    if (!FFace || FFaceGeneration != FontCacheGeneration()) {
        FFace = &GetFontFace(*FFont);
        FFaceGeneration = FontCacheGeneration();
    }
    return *FFace;
}

void BlitBitmap(TCanvas& dest, const TRect& destRect, const TBitmap& src, const TRect& srcRect,
                TBlitMode mode, TPixel key) {
    TBitmap* target = dest.GetTarget();
    if (!target || destRect.IsEmpty() || srcRect.IsEmpty() || src.GetEmpty()) return;
    const TRect d = dest.ToDevice(destRect);
    const int dw = d.Width(), dh = d.Height(), sw = srcRect.Width(), sh = srcRect.Height();
    const bool same = dw == sw && dh == sh;
    key &= 0xFFFFFF;
    for (const TRect& c : dest.DeviceClipRects()) {
        TRect i;
        if (!IntersectRect(i, c, d)) continue;
        for (int y = i.Top; y < i.Bottom; ++y) {
            const int sy = srcRect.Top + (same ? y - d.Top : int((long long)(y - d.Top) * sh / dh));
            if (sy < 0 || sy >= src.GetHeight()) continue;
            const TPixel* srow = src.ScanLine(sy);
            TPixel* drow = target->ScanLine(y);
            for (int x = i.Left; x < i.Right; ++x) {
                const int sx =
                    srcRect.Left + (same ? x - d.Left : int((long long)(x - d.Left) * sw / dw));
                if (sx < 0 || sx >= src.GetWidth()) continue;
                const TPixel s = srow[sx];
                switch (mode) {
                    case TBlitMode::bmCopy:
                        drow[x] = s | 0xFF000000u;
                        break;
                    case TBlitMode::bmTransparent:
                        if ((s & 0xFFFFFF) != key) drow[x] = s | 0xFF000000u;
                        break;
                    case TBlitMode::bmAlpha:
                        drow[x] = BlendPixel(drow[x], s | 0xFF000000u, s >> 24);
                        break;
                }
            }
        }
    }
}

void TransparentBlt(TCanvas& dest, const TRect& destRect, const TBitmap& source,
                    const TRect& sourceRect, TColorRef key) {
    BlitBitmap(dest, destRect, source, sourceRect, TBlitMode::bmTransparent, PixelFromRef(key));
}

}  // namespace vel
