// The window system's classic drawing routines: edges, frame controls, gradients and blits.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/graphics/Canvas.h"

namespace vel {

namespace {

void Fill(TCanvas& c, const TRect& r, TColor color) {
    if (!r.IsEmpty()) c.FillRectColor(r, color);
}

struct EdgeLine {
    TColor TopLeft;
    TColor BottomRight;
};

// One ring of an edge: the top-left colour owns the top row and left column except the
// corners that the bottom-right colour owns (top-right and bottom-left).
void DrawRing(TCanvas& c, const TRect& r, const EdgeLine& line, unsigned flags) {
    if (r.IsEmpty()) return;
    if (flags & BF_TOP)
        Fill(c, {r.Left, r.Top, (flags & BF_RIGHT) ? r.Right - 1 : r.Right, r.Top + 1},
             line.TopLeft);
    if (flags & BF_LEFT)
        Fill(c, {r.Left, r.Top, r.Left + 1, (flags & BF_BOTTOM) ? r.Bottom - 1 : r.Bottom},
             line.TopLeft);
    if (flags & BF_BOTTOM) Fill(c, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, line.BottomRight);
    if (flags & BF_RIGHT) Fill(c, {r.Right - 1, r.Top, r.Right, r.Bottom}, line.BottomRight);
}

void Shrink(TRect& r, unsigned flags) {
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_RIGHT) --r.Right;
    if (flags & BF_BOTTOM) --r.Bottom;
}

// At most two rings (outer and inner), kept without allocating: edges are drawn per cell.
struct EdgeLineSet {
    EdgeLine Items[2];
    std::size_t Count = 0;
    void push_back(const EdgeLine& l) { Items[Count++] = l; }
    std::size_t size() const { return Count; }
    const EdgeLine& operator[](std::size_t i) const { return Items[i]; }
    const EdgeLine* begin() const { return Items; }
    const EdgeLine* end() const { return Items + Count; }
};

EdgeLineSet EdgeLines(unsigned edge, unsigned flags) {
    EdgeLineSet lines;
    const bool soft = flags & BF_SOFT;
    const unsigned outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    if (outer) {
        if (flags & BF_MONO)
            lines.push_back({clWindowFrame, clWindowFrame});
        else if (flags & BF_FLAT)
            lines.push_back({clBtnShadow, clBtnShadow});
        else if (outer & BDR_RAISEDOUTER)
            lines.push_back({soft ? clBtnHighlight : cl3DLight, cl3DDkShadow});
        else
            lines.push_back({soft ? cl3DDkShadow : clBtnShadow, clBtnHighlight});
    }
    if (inner) {
        if (flags & BF_MONO)
            lines.push_back({clWindow, clWindow});
        else if (flags & BF_FLAT)
            lines.push_back({clBtnFace, clBtnFace});
        else if (inner & BDR_RAISEDINNER)
            lines.push_back({soft ? cl3DLight : clBtnHighlight, clBtnShadow});
        else
            lines.push_back({soft ? clBtnShadow : cl3DDkShadow, cl3DLight});
    }
    return lines;
}

bool DrawDiagonal(TCanvas& c, TRect& rect, unsigned edge, unsigned flags) {
    const EdgeLineSet lines = EdgeLines(edge, flags);
    const TRect r = rect;
    const int n = std::min(r.Width(), r.Height());
    if (n <= 0) return false;
    // Start and direction of the diagonal by the end it runs to.
    int x0, y0, dx, dy;
    switch (flags & BF_RECT) {
        case BF_TOPRIGHT:
            x0 = r.Left, y0 = r.Bottom - 1, dx = 1, dy = -1;
            break;
        case BF_TOPLEFT:
            x0 = r.Right - 1, y0 = r.Bottom - 1, dx = -1, dy = -1;
            break;
        case BF_BOTTOMLEFT:
            x0 = r.Right - 1, y0 = r.Top, dx = -1, dy = 1;
            break;
        default:
            x0 = r.Left, y0 = r.Top, dx = 1, dy = 1;
            break;
    }
    if (flags & BF_MIDDLE) {
        // The triangle on the inner side of the diagonal.
        const TColor face = (flags & BF_MONO) ? clWindow : clBtnFace;
        for (int i = 0; i < n; ++i) {
            const int y = y0 + i * dy;
            const int x = x0 + i * dx;
            if (dx > 0)
                Fill(c, {x + 1, y, r.Left + n, y + 1}, face);
            else
                Fill(c, {r.Right - n, y, x, y + 1}, face);
        }
    }
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const TColor color = (dx > 0) == (dy < 0) ? lines[k].TopLeft : lines[k].BottomRight;
        for (int i = 0; i < n; ++i) {
            const int x = x0 + i * dx + int(k) * (dy > 0 ? -dx : dx);
            c.SetPixel(x, y0 + i * dy, color);
        }
    }
    if (flags & BF_ADJUST) rect.Inflate(-int(lines.size()), -int(lines.size()));
    return true;
}

// The tick of a check box, 7x7, with its top-left at (x, y).
void DrawCheckMark(TCanvas& c, int x, int y, TColor color) {
    for (int i = 0; i < 7; ++i) {
        const int top = y + (i <= 2 ? 2 + i : 6 - i);
        Fill(c, {x + i, top, x + i + 1, top + 3}, color);
    }
}

void DrawArrow(TCanvas& c, const TRect& r, unsigned kind, TColor color, int dx, int dy) {
    const int size = std::max(1, (std::min(r.Width(), r.Height()) - 4) / 3 + 1);  // rows
    const int cx = r.Left + r.Width() / 2 + dx, cy = r.Top + r.Height() / 2 + dy;
    for (int i = 0; i < size; ++i) {
        const int half = i;  // row i of the triangle is 2i+1 long
        switch (kind) {
            case DFCS_SCROLLUP:
                Fill(c, {cx - half, cy - size / 2 + i, cx + half + 1, cy - size / 2 + i + 1},
                     color);
                break;
            case DFCS_SCROLLDOWN:
            case DFCS_SCROLLCOMBOBOX: {
                const int h = size - 1 - i;
                Fill(c, {cx - h, cy - size / 2 + i, cx + h + 1, cy - size / 2 + i + 1}, color);
                break;
            }
            case DFCS_SCROLLLEFT:
                Fill(c, {cx - size / 2 + i, cy - half, cx - size / 2 + i + 1, cy + half + 1},
                     color);
                break;
            case DFCS_SCROLLRIGHT: {
                const int h = size - 1 - i;
                Fill(c, {cx - size / 2 + i, cy - h, cx - size / 2 + i + 1, cy + h + 1}, color);
                break;
            }
            default:
                break;
        }
    }
}

void DitherFill(TCanvas& c, const TRect& r, TColor a, TColor b) {
    const TRect d = c.ToDevice(r);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            c.SetPixel(x, y, ((x - r.Left + d.Left + y - r.Top + d.Top) & 1) ? b : a);
}

void DrawButtonFace(TCanvas& c, TRect& r, unsigned state) {
    const bool pushed = state & (DFCS_PUSHED | DFCS_CHECKED);
    unsigned flags = BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST;
    if (state & DFCS_MONO) flags |= BF_MONO;
    if (state & DFCS_FLAT) flags |= BF_FLAT;
    if (pushed && (state & DFCS_PUSHED) && !(state & (DFCS_FLAT | DFCS_MONO))) {
        // A pushed classic button: black outer frame, shadow inside.
        TRect outer = r;
        DrawEdge(c, outer, BDR_SUNKENOUTER, BF_RECT | BF_MONO | BF_ADJUST);
        Fill(c, {outer.Left, outer.Top, outer.Right, outer.Top + 1}, clBtnShadow);
        Fill(c, {outer.Left, outer.Top, outer.Left + 1, outer.Bottom}, clBtnShadow);
        Fill(c, {outer.Left, outer.Bottom - 1, outer.Right, outer.Bottom}, clBtnShadow);
        Fill(c, {outer.Right - 1, outer.Top, outer.Right, outer.Bottom}, clBtnShadow);
        outer.Inflate(-1, -1);
        Fill(c, outer, clBtnFace);
        r = outer;
        return;
    }
    DrawEdge(c, r, pushed ? EDGE_SUNKEN : EDGE_RAISED, flags);
    if ((state & DFCS_CHECKED) && !(state & DFCS_PUSHED))
        DitherFill(c, r, clBtnHighlight, clBtnFace);
}

}  // namespace

bool DrawEdge(TCanvas& c, TRect& rect, unsigned edge, unsigned flags) {
    if (flags & BF_DIAGONAL) return DrawDiagonal(c, rect, edge, flags);
    TRect r = rect;
    for (const EdgeLine& line : EdgeLines(edge, flags)) {
        DrawRing(c, r, line, flags);
        Shrink(r, flags);
    }
    if (flags & BF_MIDDLE) Fill(c, r, (flags & BF_MONO) ? clWindow : clBtnFace);
    if (flags & BF_ADJUST) rect = r;
    return true;
}

bool DrawFrameControl(TCanvas& c, TRect& rect, unsigned type, unsigned state) {
    if (rect.IsEmpty()) return false;
    const bool inactive = state & DFCS_INACTIVE;
    const unsigned kind = state & 0xFF;
    if (type == DFC_BUTTON) {
        if (kind & DFCS_BUTTONPUSH) {
            TRect r = rect;
            DrawButtonFace(c, r, state);
            if (state & DFCS_ADJUSTRECT) rect = r;
            return true;
        }
        const int size = std::min({rect.Width(), rect.Height(), 13});
        TRect box = Bounds(rect.Left + (rect.Width() - size) / 2,
                           rect.Top + (rect.Height() - size) / 2, size, size);
        if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
            // Two rings: shadow / highlight outside, dark shadow / light inside.
            const double cxy = (size - 1) / 2.0, rr = size / 2.0;
            const bool mono = state & (DFCS_MONO | DFCS_FLAT);
            const TColor fill = (inactive || (state & DFCS_PUSHED)) ? clBtnFace : clWindow;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const double dx = x - cxy, dy = y - cxy, d = std::sqrt(dx * dx + dy * dy);
                    if (d > rr - 0.3) continue;
                    const bool topLeft = dx + dy < 0;
                    TColor color;
                    if (d > rr - 1.3)
                        color = mono ? clWindowFrame : (topLeft ? clBtnShadow : clBtnHighlight);
                    else if (d > rr - 2.3)
                        color = mono ? fill : (topLeft ? cl3DDkShadow : cl3DLight);
                    else
                        color = fill;
                    if ((state & DFCS_CHECKED) && d < rr / 2.6)
                        color = inactive ? clGrayText : clWindowText;
                    c.SetPixel(box.Left + x, box.Top + y, color);
                }
            return true;
        }
        unsigned flags = BF_RECT | BF_ADJUST;
        if (state & DFCS_MONO)
            flags |= BF_MONO;
        else if (state & DFCS_FLAT)
            flags |= BF_FLAT | BF_MONO;
        TRect inner = box;
        DrawEdge(c, inner, EDGE_SUNKEN, flags);
        const bool grey = (kind & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED);
        if (grey)
            DitherFill(c, inner, clBtnHighlight, clBtnFace);
        else
            Fill(c, inner, (inactive || (state & DFCS_PUSHED)) ? clBtnFace : clWindow);
        if (state & DFCS_CHECKED) {
            const TColor mark = inactive || grey ? clGrayText : clWindowText;
            DrawCheckMark(c, inner.Left + (inner.Width() - 7) / 2,
                          inner.Top + (inner.Height() - 7) / 2, mark);
        }
        return true;
    }
    if (type == DFC_SCROLL) {
        TRect r = rect;
        const bool pushed = state & DFCS_PUSHED;
        if (pushed && !(state & DFCS_FLAT)) {
            DrawEdge(c, r, BDR_RAISEDOUTER, BF_RECT | BF_FLAT | BF_ADJUST);
            Fill(c, r, clBtnFace);
        } else {
            DrawButtonFace(c, r, state & (DFCS_FLAT | DFCS_MONO));
        }
        const int shift = pushed ? 1 : 0;
        if (inactive) {
            DrawArrow(c, rect, kind, clBtnHighlight, 1, 1);
            DrawArrow(c, rect, kind, clBtnShadow, 0, 0);
        } else {
            DrawArrow(c, rect, kind, clBtnText, shift, shift);
        }
        if (state & DFCS_ADJUSTRECT) rect = r;
        return true;
    }
    if (type == DFC_CAPTION) {
        TRect r = rect;
        DrawButtonFace(c, r, state);
        const int s = std::max(2, std::min(r.Width(), r.Height()) - 4);
        const int x = r.Left + (r.Width() - s) / 2, y = r.Top + (r.Height() - s) / 2;
        const TColor ink = inactive ? clGrayText : clBtnText;
        if (kind == DFCS_CAPTIONCLOSE)
            for (int i = 0; i < s; ++i) {
                Fill(c, {x + i, y + i, x + i + 2, y + i + 1}, ink);
                Fill(c, {x + s - 2 - i, y + i, x + s - i, y + i + 1}, ink);
            }
        else if (kind == DFCS_CAPTIONMIN)
            Fill(c, {x, y + s - 2, x + s - 2, y + s}, ink);
        else {
            c.Brush().SetColor(ink);
            c.FrameRect({x, y, x + s, y + s});
            Fill(c, {x, y + 1, x + s, y + 2}, ink);
        }
        return true;
    }
    TRect r = rect;
    DrawButtonFace(c, r, state);
    return true;
}

void Frame3D(TCanvas& c, TRect& rect, TColor topColor, TColor bottomColor, int width) {
    for (int i = 0; i < width && !rect.IsEmpty(); ++i) {
        DrawRing(c, rect, {topColor, bottomColor}, BF_RECT);
        rect.Inflate(-1, -1);
    }
}

TTriVertex MakeVertex(int x, int y, TColor color) {
    const TColorRef rgb = ColorToRGB(color);
    TTriVertex v;
    v.x = x;
    v.y = y;
    v.Red = std::uint16_t(GetRValue(rgb) << 8);
    v.Green = std::uint16_t(GetGValue(rgb) << 8);
    v.Blue = std::uint16_t(GetBValue(rgb) << 8);
    return v;
}

bool GradientFill(TCanvas& canvas, const TTriVertex* vertices, unsigned vertexCount,
                  const TGradientRect* meshes, unsigned meshCount, unsigned mode) {
    TBitmap* target = canvas.GetTarget();
    if (!target || mode > GRADIENT_FILL_RECT_V) return false;
    for (unsigned m = 0; m < meshCount; ++m) {
        if (meshes[m].UpperLeft >= vertexCount || meshes[m].LowerRight >= vertexCount) return false;
        TTriVertex a = vertices[meshes[m].UpperLeft], b = vertices[meshes[m].LowerRight];
        // The first colour belongs to the left (top) side whichever vertex holds it.
        const bool horizontal = mode == GRADIENT_FILL_RECT_H;
        if ((horizontal && a.x > b.x) || (!horizontal && a.y > b.y)) std::swap(a, b);
        const TRect logical{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                            std::max(a.y, b.y)};
        const TRect d = canvas.ToDevice(logical);
        const int span = horizontal ? d.Width() : d.Height();
        if (span <= 0 || d.IsEmpty()) continue;
        auto colorAt = [&](int i) {
            auto ch = [&](int c1, int c2) {
                return unsigned((c1 + (long long)(c2 - c1) * i / span) >> 8) & 0xFF;
            };
            return 0xFF000000u | (ch(a.Red, b.Red) << 16) | (ch(a.Green, b.Green) << 8) |
                   ch(a.Blue, b.Blue);
        };
        for (const TRect& c : canvas.DeviceClipRects()) {
            TRect i;
            if (!IntersectRect(i, c, d)) continue;
            if (horizontal) {
                std::vector<TPixel> row(std::size_t(i.Width()));
                for (int x = i.Left; x < i.Right; ++x)
                    row[std::size_t(x - i.Left)] = colorAt(x - d.Left);
                for (int y = i.Top; y < i.Bottom; ++y)
                    std::copy(row.begin(), row.end(), target->ScanLine(y) + i.Left);
            } else {
                for (int y = i.Top; y < i.Bottom; ++y) {
                    TPixel* line = target->ScanLine(y);
                    std::fill(line + i.Left, line + i.Right, colorAt(y - d.Top));
                }
            }
        }
    }
    return true;
}

void GradientFillRect(TCanvas& canvas, const TRect& r, TColor c1, TColor c2, bool horizontal) {
    const TTriVertex v[2] = {MakeVertex(r.Left, r.Top, c1), MakeVertex(r.Right, r.Bottom, c2)};
    const TGradientRect mesh{0, 1};
    GradientFill(canvas, v, 2, &mesh, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

namespace {
inline TPixel Rop3(unsigned code, TPixel p, TPixel s, TPixel d) {
    TPixel r = 0;
    for (unsigned i = 0; i < 8; ++i)
        if ((code >> i) & 1) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    return (r & 0xFFFFFF) | 0xFF000000u;
}
}  // namespace

bool PatBlt(TCanvas& canvas, int x, int y, int width, int height, unsigned rop) {
    TBitmap* target = canvas.GetTarget();
    if (!target) return false;
    TRect r{x, y, x + width, y + height};
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    const TRect d = canvas.ToDevice(r);
    const unsigned code = (rop >> 16) & 0xFF;
    const TPixel p = canvas.Brush().GetStyle() == TBrushStyle::bsClear
                         ? 0xFF000000u
                         : PixelFromColor(canvas.Brush().GetColor());
    for (const TRect& c : canvas.DeviceClipRects()) {
        TRect i;
        if (!IntersectRect(i, c, d)) continue;
        for (int yy = i.Top; yy < i.Bottom; ++yy) {
            TPixel* row = target->ScanLine(yy);
            if (rop == PATCOPY)
                std::fill(row + i.Left, row + i.Right, p);
            else
                for (int xx = i.Left; xx < i.Right; ++xx) row[xx] = Rop3(code, p, 0, row[xx]);
        }
    }
    return true;
}

bool BitBlt(TCanvas& dest, int x, int y, int width, int height, const TCanvas& source, int sx,
            int sy, unsigned rop) {
    TBitmap* target = dest.GetTarget();
    const TBitmap* src = source.GetTarget();
    if (!target || !src || width <= 0 || height <= 0) return false;
    const TPoint sd = source.ToDevice(TPoint{sx, sy});
    const TRect d = dest.ToDevice(TRect{x, y, x + width, y + height});
    // Only pixels that exist in the source are written.
    const int dx = d.Left - sd.X, dy = d.Top - sd.Y;
    TRect area;
    if (!IntersectRect(area, d, TRect{dx, dy, dx + src->GetWidth(), dy + src->GetHeight()})) return true;
    // Source and destination may be the same surface: then copy the source part first, so one
    // clip rectangle's writes are never read back by another's.
    std::unique_ptr<TPixel[]> snap;
    const TPixel* from = nullptr;
    std::size_t stride = 0;
    if (src == target) {
        stride = std::size_t(area.Width());
        snap.reset(new TPixel[stride * std::size_t(area.Height())]);
        for (int yy = area.Top; yy < area.Bottom; ++yy)
            std::memcpy(snap.get() + std::size_t(yy - area.Top) * stride, src->ScanLine(yy - dy) + (area.Left - dx),
                        stride * sizeof(TPixel));
        from = snap.get();
    }
    // The source pixel under destination (left, yy).
    auto sourceAt = [&](int left, int yy) -> const TPixel* {
        if (from) return from + std::size_t(yy - area.Top) * stride + std::size_t(left - area.Left);
        return src->ScanLine(yy - dy) + (left - dx);
    };
    const unsigned code = (rop >> 16) & 0xFF;
    const TPixel p = PixelFromColor(dest.Brush().GetColor());
    for (const TRect& c : dest.DeviceClipRects()) {
        TRect i;
        if (!IntersectRect(i, c, area)) continue;
        for (int yy = i.Top; yy < i.Bottom; ++yy) {
            TPixel* out = target->ScanLine(yy) + i.Left;
            const TPixel* in = sourceAt(i.Left, yy);
            const int n = i.Width();
            if (rop == SRCCOPY)
                for (int k = 0; k < n; ++k) out[k] = in[k] | 0xFF000000u;
            else
                for (int k = 0; k < n; ++k) out[k] = Rop3(code, p, in[k], out[k]);
        }
    }
    return true;
}

}  // namespace vel
