// Invalidation, WM_PAINT into the top-level surface, ScrollWindowEx and window capture.
#include <algorithm>
#include <cstring>

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/WindowBackend.h"
#include "platform/controls/internal/WindowManager.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

namespace {
constexpr std::size_t MaxInvalidRects = 8;

TRect Bound(const std::vector<TRect>& rs) {
    TRect u;
    for (const TRect& r : rs) u = UnionRect(u, r);
    return u;
}

bool ContainsRect(const TRect& outer, const TRect& inner) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}

// a minus b as up to four rectangles.
void Subtract(const TRect& a, const TRect& b, std::vector<TRect>& out) {
    TRect i;
    if (!IntersectRect(i, a, b)) {
        out.push_back(a);
        return;
    }
    if (a.Top < i.Top) out.push_back(Rect(a.Left, a.Top, a.Right, i.Top));
    if (i.Bottom < a.Bottom) out.push_back(Rect(a.Left, i.Bottom, a.Right, a.Bottom));
    if (a.Left < i.Left) out.push_back(Rect(a.Left, i.Top, i.Left, i.Bottom));
    if (i.Right < a.Right) out.push_back(Rect(i.Right, i.Top, a.Right, i.Bottom));
}
}  // namespace

void TWinControl::AddInvalid(const TRect& R) {
    if (!FHandle || !IsShowing()) return;
    TRect r = Intersection(R, GetClientRect());
    if (r.IsEmpty()) return;
    for (const TRect& x : FInvalid)
        if (ContainsRect(x, r)) return;
    FInvalid.erase(std::remove_if(FInvalid.begin(), FInvalid.end(),
                                  [&](const TRect& x) { return ContainsRect(r, x); }),
                   FInvalid.end());
    FInvalid.push_back(r);
    if (FInvalid.size() > MaxInvalidRects) {
        TRect u = Bound(FInvalid);
        FInvalid.assign(1, u);
    }
    WindowManager().AddPaintPending(this);
}

void TWinControl::ClearInvalid() {
    FInvalid.clear();
    WindowManager().RemovePaintPending(this);
}

void TWinControl::InvalidateRect(const TRect* R, bool IncludeChildren) {
    if (!FHandle) return;
    TRect r = R ? *R : GetClientRect();
    AddInvalid(r);
    if (!IncludeChildren) return;
    for (TControl* c : FControls) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->GetVisible() || w->IsTopLevel()) continue;
        TRect i;
        if (!IntersectRect(i, r, w->GetBoundsRect())) continue;
        TRect ins = w->GetBorderInsets();
        i.Offset(-w->GetLeft() - ins.Left, -w->GetTop() - ins.Top);
        w->InvalidateRect(&i, true);
    }
}

void TWinControl::ValidateRect(const TRect* R) {
    if (!R) {
        ClearInvalid();
        return;
    }
    std::vector<TRect> left;
    for (const TRect& x : FInvalid) Subtract(x, *R, left);
    FInvalid.swap(left);
    if (FInvalid.size() > MaxInvalidRects) FInvalid.assign(1, Bound(FInvalid));
    if (FInvalid.empty()) WindowManager().RemovePaintPending(this);
}

bool TWinControl::GetUpdateRect(TRect& R) const {
    R = Bound(FInvalid);
    return !R.IsEmpty();
}

void TWinControl::Invalidate() {
    if (IsTopLevel() || !FParent) {
        InvalidateRect(nullptr, false);
        return;
    }
    // The border belongs to the parent's painting of this window's rectangle.
    InvalidateRect(nullptr, false);
    if (GetBorderInsets() != TRect{}) {
        TRect r = GetBoundsRect();
        FParent->AddInvalid(r);
    }
}

void TWinControl::Update() {
    if (!FHandle) return;
    if (!FInvalid.empty()) SendMessage(FHandle, WM_PAINT);
}

void TWinControl::PaintPending() {
    // Parents first: a child's border is drawn by its parent.
    std::vector<TWinControl*> todo;
    for (TWinControl* w : WindowManager().PaintPending)
        if (ContainsControl(w)) todo.push_back(w);
    std::stable_sort(todo.begin(), todo.end(), [](TWinControl* a, TWinControl* b) {
        return a->ContainsControl(b) && a != b;
    });
    for (TWinControl* w : todo)
        if (IsWindow(w->FHandle) && !w->FInvalid.empty()) SendMessage(w->FHandle, WM_PAINT);
}

void TWinControl::ClipChildrenAndSiblings(TCanvas& Canvas, const TSurfaceArea& Area) {
    // Windowed children are painted by themselves.
    for (TControl* c : FControls) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->GetVisible() && !w->IsTopLevel()) Canvas.ExcludeClipRect(w->GetBoundsRect());
    }
    // Windows above this one or above one of its parents hide part of it.
    const TControl* self = this;
    for (const TWinControl* p = FParent; p && !dynamic_cast<const TWinControl*>(self)->IsTopLevel();
         self = p, p = p->GetParent()) {
        const auto& sib = p->Controls();
        auto it = std::find(sib.begin(), sib.end(), self);
        for (++it; it != sib.end(); ++it) {
            auto* w = dynamic_cast<TWinControl*>(*it);
            if (!w || !w->GetVisible() || w->IsTopLevel()) continue;
            // The sibling's rectangle in this window's client coordinates.
            TPoint sOrigin = p->ClientToScreen(Point(w->GetLeft(), w->GetTop()));
            TPoint mine = ClientToScreen(Point(0, 0));
            Canvas.ExcludeClipRect(Bounds(sOrigin.X - mine.X, sOrigin.Y - mine.Y, w->GetWidth(), w->GetHeight()));
        }
        if (p->IsTopLevel()) break;
    }
    (void)Area;
}

void TWinControl::WMPaint(TMessage&) {
    TRect update = Bound(FInvalid);
    ClearInvalid();
    if (update.IsEmpty() || FInPaint) return;
    TSurfaceArea area = GetSurfaceArea(this);
    if (!area.TopLevel || !area.TopLevel->GetSurface()) return;
    TRect visible = area.Visible;
    visible.Offset(-area.Origin.X, -area.Origin.Y);
    update = Intersection(update, visible);
    if (update.IsEmpty()) return;
    TBitmap* surface = area.TopLevel->GetSurface();

    std::unique_ptr<TControlCanvas> local;
    TControlCanvas* canvas = FCanvas;
    if (!canvas) {
        local = std::make_unique<TControlCanvas>(this);
        canvas = local.get();
    }
    TRect deviceUpdate = update;
    deviceUpdate.Offset(area.Origin.X, area.Origin.Y);

    // Every window paints into its top-level surface, which is shown only after the paint, so
    // DoubleBuffered needs no second buffer here: nothing half-painted ever reaches the screen.
    canvas->SetTarget(surface);
    canvas->SetDeviceOrigin(area.Origin);
    canvas->SetDeviceClip(deviceUpdate);
    canvas->SetWindowOrg(Point(0, 0));
    canvas->SelectClipNone();
    canvas->Font().Assign(&Font());
    ClipChildrenAndSiblings(*canvas, area);

    FInPaint = true;
    FControlState.Include(TControlStateFlag::csCustomPaint);
    struct Done {
        TWinControl* w;
        ~Done() {
            w->FInPaint = false;
            w->FControlState.Exclude(TControlStateFlag::csCustomPaint);
        }
    } done{this};
    if (!FControlStyle.Contains(TControlStyleFlag::csOpaque)) EraseBackground(*canvas, update);
    PaintWindow(*canvas);
    canvas->SelectClipNone();
    PaintControls(*canvas, nullptr);

    canvas->SetTarget(nullptr);
    // The border of windowed children lies in this window's area: draw it now.
    for (TControl* c : FControls) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->GetVisible() || w->IsTopLevel()) continue;
        TRect ins = w->GetBorderInsets();
        if (ins == TRect{} || !IntersectRect(ins, update, w->GetBoundsRect())) continue;
        TCanvas nc(surface);
        nc.SetDeviceOrigin(Point(area.Origin.X + w->GetLeft(), area.Origin.Y + w->GetTop()));
        TRect clip = Intersection(deviceUpdate, area.Visible);
        nc.SetDeviceClip(clip);
        w->PaintBorder(nc);
    }
    if (IsTopLevel()) {
        TCanvas nc(surface);
        PaintBorder(nc);
        if (GetBorderInsets() != TRect{}) deviceUpdate = Rect(0, 0, surface->GetWidth(), surface->GetHeight());
    }
    Backend().SurfaceChanged(area.TopLevel, deviceUpdate);
}

void TWinControl::PaintBorder(TCanvas& Canvas) {
    // Window coordinates: (0,0) is the window's top-left corner.
    TRect r = Rect(0, 0, FWidth, FHeight);
    const unsigned style = FParams.Style, ex = FParams.ExStyle;
    if (style & WS_BORDER) {
        Canvas.FillRectColor(Rect(r.Left, r.Top, r.Right, r.Top + 1), clWindowFrame);
        Canvas.FillRectColor(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), clWindowFrame);
        Canvas.FillRectColor(Rect(r.Left, r.Top, r.Left + 1, r.Bottom), clWindowFrame);
        Canvas.FillRectColor(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), clWindowFrame);
        r.Inflate(-1, -1);
    }
    if (ex & WS_EX_CLIENTEDGE) {
        // Sunken: shadow/dark outside top-left, highlight/light outside bottom-right.
        Canvas.FillRectColor(Rect(r.Left, r.Top, r.Right - 1, r.Top + 1), clBtnShadow);
        Canvas.FillRectColor(Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), clBtnShadow);
        Canvas.FillRectColor(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), clBtnHighlight);
        Canvas.FillRectColor(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), clBtnHighlight);
        r.Inflate(-1, -1);
        Canvas.FillRectColor(Rect(r.Left, r.Top, r.Right - 1, r.Top + 1), cl3DDkShadow);
        Canvas.FillRectColor(Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), cl3DDkShadow);
        Canvas.FillRectColor(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), cl3DLight);
        Canvas.FillRectColor(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), cl3DLight);
        r.Inflate(-1, -1);
    }
    PaintScrollBar(Canvas, SB_VERT);
    PaintScrollBar(Canvas, SB_HORZ);
    TRect v = ScrollBarRect(SB_VERT), h = ScrollBarRect(SB_HORZ);
    if (!v.IsEmpty() && !h.IsEmpty()) Canvas.FillRectColor(Rect(v.Left, h.Top, v.Right, h.Bottom), clBtnFace);
}

void TWinControl::PaintWindow(TCanvas&) {}

void TWinControl::EraseBackground(TCanvas& Canvas, const TRect& R) {
    Canvas.FillRectColor(R, GetColor());
}

void TWinControl::PaintHandler(TMessage& Message) { WMPaint(Message); }

void TWinControl::PaintControls(TCanvas& Canvas, TControl* First) {
    auto it = FControls.begin();
    if (First) it = std::find(FControls.begin(), FControls.end(), First);
    const TRect clipBox = Canvas.ClipRect();
    for (; it != FControls.end(); ++it) {
        auto* g = dynamic_cast<TGraphicControl*>(*it);
        if (!g || !g->GetVisible()) continue;
        TRect b = g->GetBoundsRect();
        TRect i;
        if (!IntersectRect(i, b, clipBox)) continue;
        TControlCanvas& gc = *g->FCanvas;
        gc.SetTarget(Canvas.GetTarget());
        TPoint o = Canvas.ToDevice(Point(b.Left, b.Top));
        gc.SetDeviceOrigin(o);
        gc.SetWindowOrg(Point(0, 0));
        // The parent's clip (which leaves out windowed children) limited to the control.
        TRect devClip = Canvas.ToDevice(i);
        gc.SetDeviceClip(devClip);
        gc.SelectClipNone();
        for (TControl* c : FControls) {
            auto* w = dynamic_cast<TWinControl*>(c);
            if (w && w->GetVisible() && !w->IsTopLevel()) {
                TRect wr = w->GetBoundsRect();
                wr.Offset(-b.Left, -b.Top);
                gc.ExcludeClipRect(wr);
            }
        }
        gc.Font().Assign(&g->Font());
        g->FControlState.Include(TControlStateFlag::csCustomPaint);
        TScopeExit cleanup([&] {
            g->FControlState.Exclude(TControlStateFlag::csCustomPaint);
            gc.SetTarget(nullptr);
        });
        g->Paint();
    }
}

void TWinControl::ScrollWindowEx(int Dx, int Dy, const TRect* ScrollRect, const TRect* ClipRect,
                                 TRect* UpdateRect, bool DoInvalidate) {
    TRect area = GetClientRect();
    if (ScrollRect) area = Intersection(area, *ScrollRect);
    if (ClipRect) area = Intersection(area, *ClipRect);
    if (UpdateRect) *UpdateRect = TRect{};
    if (area.IsEmpty() || (Dx == 0 && Dy == 0)) return;

    std::vector<TRect> uncovered;
    TSurfaceArea sa = GetSurfaceArea(this);
    TBitmap* surface = sa.TopLevel ? sa.TopLevel->GetSurface() : nullptr;
    TRect visible = sa.Visible;
    visible.Offset(-sa.Origin.X, -sa.Origin.Y);
    // Pixels that can move: inside the area (and visible) at both ends.
    TRect src = Intersection(area, visible);
    TRect moved = src;
    moved.Offset(Dx, Dy);
    TRect dest = Intersection(moved, Intersection(area, visible));
    if (surface && !dest.IsEmpty()) {
        // Rows move in place, walked against the move so no source row is overwritten first.
        const int w = dest.Width(), h = dest.Height();
        const std::size_t bytes = std::size_t(w) * sizeof(TPixel);
        for (int k = 0; k < h; ++k) {
            const int y = Dy > 0 ? h - 1 - k : k;
            const TPixel* s = surface->ScanLine(dest.Top - Dy + y + sa.Origin.Y) + (dest.Left - Dx + sa.Origin.X);
            TPixel* d = surface->ScanLine(dest.Top + y + sa.Origin.Y) + (dest.Left + sa.Origin.X);
            std::memmove(d, s, bytes);
        }
        TRect dev = dest;
        dev.Offset(sa.Origin.X, sa.Origin.Y);
        Backend().SurfaceChanged(sa.TopLevel, dev);
    } else {
        dest = TRect{};
    }
    Subtract(area, dest, uncovered);
    // Pixels that came from under a child window or from an invalid part are not valid either.
    std::vector<TRect> stale;
    for (TControl* c : FControls) {
        auto* cw = dynamic_cast<TWinControl*>(c);
        if (cw && cw->GetVisible() && !cw->IsTopLevel()) {
            TRect r = cw->GetBoundsRect();
            r.Offset(Dx, Dy);
            stale.push_back(Intersection(r, dest));
        }
    }
    // The invalid region moves with the pixels.
    std::vector<TRect> oldInvalid;
    oldInvalid.swap(FInvalid);
    WindowManager().RemovePaintPending(this);
    for (TRect r : oldInvalid) {
        TRect inArea = Intersection(r, area);
        if (!inArea.IsEmpty()) {
            std::vector<TRect> outside;
            Subtract(r, area, outside);
            for (const TRect& o : outside) AddInvalid(o);
            inArea.Offset(Dx, Dy);
            stale.push_back(Intersection(inArea, area));
        } else {
            AddInvalid(r);
        }
    }
    TRect bounds;
    for (const TRect& r : uncovered) bounds = UnionRect(bounds, r);
    for (const TRect& r : stale) bounds = UnionRect(bounds, r);
    if (UpdateRect) *UpdateRect = bounds;
    if (DoInvalidate) {
        for (const TRect& r : uncovered) AddInvalid(r);
        for (const TRect& r : stale)
            if (!r.IsEmpty()) AddInvalid(r);
    }
}

std::unique_ptr<TBitmap> TControl::CaptureImage() {
    TWinControl* top = nullptr;
    for (TControl* c = this; c; c = c->GetParent()) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->IsTopLevel()) {
            top = w;
            break;
        }
    }
    if (!top || !top->IsShowing() || !top->GetSurface())
        throw EInvalidOperation("Control '" + GetName() + "' is not on screen and cannot be captured.");
    top->PaintPending();
    // The control's whole rectangle, border included, on the surface.
    TPoint o;
    if (this == top) {
        o = Point(0, 0);
    } else {
        TPoint screen = GetParent()->ClientToScreen(Point(GetLeft(), GetTop()));
        o = Point(screen.X - top->GetLeft(), screen.Y - top->GetTop());
    }
    auto bmp = std::make_unique<TBitmap>(std::max(1, GetWidth()), std::max(1, GetHeight()));
    const TBitmap* s = top->GetSurface();
    for (int y = 0; y < GetHeight(); ++y) {
        const int sy = o.Y + y;
        if (sy < 0 || sy >= s->GetHeight()) continue;
        for (int x = 0; x < GetWidth(); ++x) {
            const int sx = o.X + x;
            if (sx < 0 || sx >= s->GetWidth()) continue;
            bmp->ScanLine(y)[x] = s->ScanLine(sy)[sx];
        }
    }
    return bmp;
}

}  // namespace vel
