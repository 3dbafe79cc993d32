// What a data cell shows beside its text: images of the column's list placed by ImageDraw,
// check boxes with their frame styles and expand boxes, and the image and text rectangles.
#include <algorithm>
#include <array>

#include "grid/DBGrid.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Errors.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Picture.h"

namespace vel {

namespace {

constexpr int GlyphSize = 13;  // check and expand glyphs are 13x13
constexpr TColor GlyphMask = RGB(128, 128, 0);

struct TEdgeStep {
    unsigned Edge, Flags;
    bool ShrinkAfter;  // the next step draws inside this one
};

// The box's horizontal place in Area by alignment.
int AlignedX(const TRect& Area, int Width, TAlignment Align) {
    switch (Align) {
    case TAlignment::taLeftJustify: return Area.Left;
    case TAlignment::taRightJustify: return Area.Right - Width;
    default: return Area.Left + (Area.Width() - Width) / 2;
    }
}

TAlignment Opposite(TAlignment Align) {
    if (Align == TAlignment::taLeftJustify) return TAlignment::taRightJustify;
    if (Align == TAlignment::taRightJustify) return TAlignment::taLeftJustify;
    return Align;
}

// Copies Source (all of it) to Dest, clipped to Clip, by alpha or by a transparent colour.
void BlitClipped(TCanvas& C, const TRect& Dest, const TBitmap& Source, const TRect& Clip,
                 TBlitMode Mode, TPixel Key) {
    TRect shown;
    if (!IntersectRect(shown, Dest, Clip)) return;
    const int sw = Source.GetWidth(), sh = Source.GetHeight();
    if (Dest.Width() == sw && Dest.Height() == sh) {
        const TRect src{shown.Left - Dest.Left, shown.Top - Dest.Top, shown.Right - Dest.Left,
                        shown.Bottom - Dest.Top};
        BlitBitmap(C, shown, Source, src, Mode, Key);
        return;
    }
    // Stretched: map the shown part back to the source proportionally.
    auto sx = [&](int x) { return int((long long)(x - Dest.Left) * sw / Dest.Width()); };
    auto sy = [&](int y) { return int((long long)(y - Dest.Top) * sh / Dest.Height()); };
    const TRect src{sx(shown.Left), sy(shown.Top), std::max(sx(shown.Right), sx(shown.Left) + 1),
                    std::max(sy(shown.Bottom), sy(shown.Top) + 1)};
    BlitBitmap(C, shown, Source, src, Mode, Key);
}

// The picture in a graphic or plain blob, bare or behind the 8-byte graphic header; none
// for other content (a memo, unknown or damaged data).
std::shared_ptr<TGraphic> BlobPicture(const TBlobField& Field) {
    const TFieldType type = Field.GetDataType();
    if ((type != TFieldType::ftGraphic && type != TFieldType::ftBlob) || Field.IsNull()) return nullptr;
    const std::vector<std::uint8_t> bytes = Field.GetAsBytes();
    std::size_t start = 0;
    if (bytes.size() > 8 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 1) start = 8;
    const std::uint8_t* data = bytes.data() + start;
    const std::size_t size = bytes.size() - start;
    const TClassInfo* cls = GraphicClassOf(data, size);
    if (!cls) return nullptr;
    std::shared_ptr<TGraphic> g = CreateGraphic(cls);
    if (!g) return nullptr;
    try {
        g->LoadFromBuffer(data, size);
    } catch (const EInvalidGraphic&) {
        return nullptr;  // a damaged picture shows as none
    }
    return g->GetEmpty() ? nullptr : g;
}

}  // namespace

void TVelCustomDBGrid::DrawCheckBox(TCanvas& ACanvas, const TRect& Rect, TCheckBoxStyle Style) {
    using S = TCheckBoxStyle;
    constexpr unsigned TL = BF_TOPLEFT, BR = BF_BOTTOMRIGHT;
    // Each style's edges, outer first.
    static constexpr TEdgeStep defaultSteps[] = {{BDR_SUNKENOUTER, BF_RECT, true},
                                                 {BDR_SUNKENOUTER, TL | BF_MONO, false},
                                                 {BDR_SUNKENINNER, BR, false}};
    static constexpr TEdgeStep softSteps[] = {{BDR_SUNKENOUTER, BF_RECT, true},
                                              {BDR_SUNKENINNER, BF_RECT, false}};
    auto pair = [](unsigned tlEdge, unsigned tlFlags, unsigned brEdge, unsigned brFlags) {
        return std::array<TEdgeStep, 2>{TEdgeStep{tlEdge, TL | tlFlags, false},
                                        TEdgeStep{brEdge, BR | brFlags, false}};
    };
    std::array<TEdgeStep, 2> two{};
    const TEdgeStep* steps = two.data();
    std::size_t count = 2;
    switch (CheckBoxStyle(Style)) {
    case S::cbSoft: steps = softSteps; break;
    case S::cbLoweredDark: two = pair(BDR_SUNKENOUTER, BF_MONO, BDR_SUNKENINNER, 0); break;
    case S::cbLoweredGray: two = pair(BDR_SUNKENINNER, 0, BDR_SUNKENINNER, 0); break;
    case S::cbLoweredMild: two = pair(BDR_SUNKENOUTER, 0, BDR_SUNKENINNER, 0); break;
    case S::cbFlat: two = pair(BDR_SUNKENOUTER, BF_MONO, BDR_RAISEDOUTER, BF_MONO); break;
    case S::cbGray: two = pair(BDR_SUNKENINNER, 0, BDR_RAISEDOUTER, 0); break;
    case S::cbMild: two = pair(BDR_SUNKENOUTER, 0, BDR_RAISEDINNER, 0); break;
    default:
        steps = defaultSteps;
        count = 3;
        break;
    }
    TRect r = Rect;
    for (std::size_t i = 0; i < count; ++i) {
        TRect e = r;
        DrawEdge(ACanvas, e, steps[i].Edge, steps[i].Flags);
        if (steps[i].ShrinkAfter) r.Inflate(-1, -1);
    }
}

const TCustomImageList& TVelCustomDBGrid::GlyphList(bool Expand) {
    std::unique_ptr<TCustomImageList>& list = Expand ? FExpandGlyphs : FCheckGlyphs;
    if (!list) {
        list = std::make_unique<TCustomImageList>(nullptr, GlyphSize, GlyphSize);
        list->AddMasked(Expand ? *FExpandBoxes : *FCheckBoxes, GlyphMask);
    }
    return *list;
}

TVelCustomDBGrid::TCellImage TVelCustomDBGrid::CellImageOf(TVelColumn* Column) {
    using K = TCellImage::TKind;
    TCellImage image;
    const bool box = Column->GetCheckBox() || Column->GetExpandBox();
    const bool themed = box && IsGridThemed(true) &&
                        (Column->GetCheckBox() ? Column->GetCheckBoxThemed() : Column->GetExpandBoxThemed());
    if (TCustomImageList* images = Column->GetImages()) {
        image.Kind = K::Column;
        image.Index = Column->GetImageIndex();
        if (box && image.Index >= images->GetCount()) {
            // Beyond the column's images: the box state alone, drawn as the element when themed.
            image.Index %= 3;
            if (themed) {
                image.Kind = Column->GetCheckBox() ? K::CheckBox : K::ExpandBox;
                image.Themed = true;
            }
        }
        return image;
    }
    if (Column->GetCheckBox()) {
        image.Kind = K::CheckBox;
        image.Index = Column->GetCheckBoxImageIndex();
    } else if (Column->GetExpandBox()) {
        image.Kind = K::ExpandBox;
        image.Index = Column->GetExpandBoxImageIndex();
    } else {
        if (Column->GetShowBlob())
            if (auto* blob = dynamic_cast<TBlobField*>(Column->GetField())) {
                image.Picture = BlobPicture(*blob);
                if (image.Picture) {
                    image.Kind = K::Graphic;
                    image.Index = 0;
                }
            }
        return image;
    }
    image.Themed = themed;
    return image;
}

int TVelCustomDBGrid::ImageLevel(TVelColumn* Column) const {
    if (!Column->GetExpandBoxTree() || !FTreeView->GetActive()) return 0;
    TDataSet* ds = GetDataSet();
    TField* level = ds ? ds->FindField(FTreeView->GetRowLevelFieldName()) : nullptr;
    return level && !level->IsNull() ? std::max(0, level->GetAsInteger()) : 0;
}

TRect TVelCustomDBGrid::CellImageRect(const TRect& Cell, int Margin, int Level, bool RightToLeft) {
    if (Margin < 1) return Cell;
    TRect r = Cell;
    const int indent = Level * Margin;
    if (RightToLeft) {
        r.Right = std::max(r.Left, r.Right - indent);
        r.Left = std::max(r.Left, r.Right - Margin);
    } else {
        r.Left = std::min(r.Right, r.Left + indent);
        r.Right = std::min(r.Right, r.Left + Margin);
    }
    return r;
}

TRect TVelCustomDBGrid::CellTextRect(const TRect& Cell, int Margin, int Level, bool RightToLeft) {
    if (Margin < 1) return Cell;
    TRect r = Cell;
    const int indent = (Level + 1) * Margin + 1;
    if (RightToLeft)
        r.Right = std::max(r.Left, r.Right - indent);
    else
        r.Left = std::min(r.Right, r.Left + indent);
    return r;
}

void TVelCustomDBGrid::DrawBoxGlyph(const TRect& Box, TVelColumn* Column, const TCellImage& Image) {
    TCanvas& C = Canvas();
    const bool rtl = UseRightToLeftAlignment() && !Column->GetSuppressRTL();
    TAlignment align = Column->GetAlignment();
    if (rtl) align = Opposite(align);
    // Boxes keep their size: only the alignment modes move them, the rest centre them.
    const TImageDraw mode = Column->GetImageDraw();
    if (mode == TImageDraw::idOpposite) align = Opposite(align);
    else if (mode != TImageDraw::idAlignment) align = TAlignment::taCenter;
    const int x = AlignedX(Box, GlyphSize, align) + Column->GetImageOffsetX();
    const int y = Box.Top + (Box.Height() - GlyphSize) / 2 + Column->GetImageOffsetY();
    TRect glyph = Bounds(x, y, GlyphSize, GlyphSize);
    const bool clip = glyph.Left < Box.Left || glyph.Top < Box.Top || glyph.Right > Box.Right ||
                      glyph.Bottom > Box.Bottom;
    int saved = 0;
    if (clip) {
        saved = C.SaveDC();
        C.IntersectClipRect(Box);
    }
    // An opaque box covers what lies under it (a gradient) with the cell's colour.
    if (!Column->GetTransparent()) C.FillRectColor(glyph, C.Brush().GetColor());
    const bool check = Image.Kind == TCellImage::TKind::CheckBox;
    const int state = Image.Index % 3;
    if (Image.Themed) {
        if (check) {
            unsigned flags = DFCS_BUTTONCHECK | DFCS_FLAT;
            if (state == 1) flags |= DFCS_CHECKED;
            if (state == 2) flags |= DFCS_BUTTON3STATE | DFCS_CHECKED;
            if (!DrawEnabled()) flags |= DFCS_INACTIVE;
            // The element's pressed and hot states follow the mouse.
            const bool pressed = FCellTracking && FCellPressed && FTrackCell == FPaintCell;
            const bool hot = !pressed && FHotCellShown && FHotCell == FPaintCell && DrawEnabled();
            if (pressed) flags |= DFCS_PUSHED;
            if (hot) flags |= DFCS_HOT;
            DrawFrameControl(C, glyph, DFC_BUTTON, flags);
            if (hot) {
                const int size = std::min({glyph.Width(), glyph.Height(), 13});
                C.Brush().SetColor(clHotLight);
                C.FrameRect(Bounds(glyph.Left + (glyph.Width() - size) / 2, glyph.Top + (glyph.Height() - size) / 2,
                                   size, size));
            }
        } else {
            // The element: a flat square with a plus (closed) or a minus (open).
            TRect sq = glyph;
            sq.Inflate(-2, -2);
            C.FillRectColor(sq, clWindow);
            C.Brush().SetColor(DrawEnabled() ? clBtnShadow : clGrayText);
            C.FrameRect(sq);
            const TColor ink = DrawEnabled() ? clWindowText : clGrayText;
            const int cx = sq.Left + sq.Width() / 2, cy = sq.Top + sq.Height() / 2;
            if (state != 2) C.FillRectColor(TRect{sq.Left + 2, cy, sq.Right - 2, cy + 1}, ink);
            if (state == 0) C.FillRectColor(TRect{cx, sq.Top + 2, cx + 1, sq.Bottom - 2}, ink);
        }
    } else if (Image.Index >= 0 && Image.Index < GlyphList(!check).GetCount()) {
        GlyphList(!check).Draw(C, glyph.Left, glyph.Top, Image.Index, DrawEnabled());
        if (check) {
            const TCheckBoxStyle style = CheckBoxStyle(Column->GetCheckBoxStyle());
            if (style != TCheckBoxStyle::cbDefault && style != TCheckBoxStyle::cbSoft) {
                // One-ring frames: the glyph's own inner ring takes the box's inside colour.
                const TColor inside = C.GetPixel(glyph.Left + 2, glyph.Top + 2);
                TRect ring = glyph;
                ring.Inflate(-1, -1);
                C.Brush().SetColor(inside);
                C.FrameRect(ring);
            }
            DrawCheckBox(C, glyph, style);
        }
    }
    if (clip) C.RestoreDC(saved);
}

void TVelCustomDBGrid::DrawCellImage(const TRect& Box, TVelColumn* Column, const TCellImage& Image) {
    using K = TCellImage::TKind;
    if (Image.Kind == K::None || Box.IsEmpty()) return;
    if (Image.Kind == K::CheckBox || Image.Kind == K::ExpandBox) {
        DrawBoxGlyph(Box, Column, Image);
        return;
    }
    TCanvas& C = Canvas();
    const bool opaque = !Column->GetTransparent();
    const TColor back = C.Brush().GetColor();
    // An opaque image shows the cell's colour where it has none of its own.
    auto under = [&](const TRect& Dest) {
        TRect r;
        if (opaque && IntersectRect(r, Dest, Box)) C.FillRectColor(r, back);
    };
    if (Image.Kind == K::Graphic) {
        const TGraphic& g = *Image.Picture;
        const int saved = C.SaveDC();
        C.IntersectClipRect(Box);
        PlaceImage(Box, Column, g.GetWidth(), g.GetHeight(), [&](const TRect& Dest) {
            under(Dest);
            g.Draw(C, Dest);
        });
        C.RestoreDC(saved);
        return;
    }
    TCustomImageList* list = Column->GetImages();
    if (!list || Image.Index < 0 || Image.Index >= list->GetCount()) return;
    const TBitmap& bmp = list->GetImage(Image.Index);
    const TColor key = Column->GetTransparentColor();
    const TBlitMode mode = key != clNone ? TBlitMode::bmTransparent : TBlitMode::bmAlpha;
    const TPixel keyPixel = key != clNone ? PixelFromColor(key) : 0;
    PlaceImage(Box, Column, bmp.GetWidth(), bmp.GetHeight(), [&](const TRect& Dest) {
        under(Dest);
        BlitClipped(C, Dest, bmp, Box, mode, keyPixel);
    });
}

void TVelCustomDBGrid::PlaceImage(const TRect& Box, TVelColumn* Column, int W, int H,
                                  const std::function<void(const TRect&)>& Draw) const {
    if (W <= 0 || H <= 0) return;
    const int ox = Column->GetImageOffsetX(), oy = Column->GetImageOffsetY();
    const bool rtl = UseRightToLeftAlignment() && !Column->GetSuppressRTL();
    TAlignment align = Column->GetAlignment();
    if (rtl) align = Opposite(align);
    auto tile = [&](int originX, int originY) {
        // Tiles line up with the origin, so neighbouring cells continue the pattern.
        auto first = [](int from, int origin, int step) {
            int k = (from - origin) / step;
            if (origin + k * step > from) --k;
            return origin + k * step;
        };
        for (int y = first(Box.Top, originY + oy, H); y < Box.Bottom; y += H)
            for (int x = first(Box.Left, originX + ox, W); x < Box.Right; x += W) Draw(Bounds(x, y, W, H));
    };
    switch (Column->GetImageDraw()) {
    case TImageDraw::idAlignment:
    case TImageDraw::idOpposite:
    case TImageDraw::idCenter: {
        const TAlignment a = Column->GetImageDraw() == TImageDraw::idCenter ? TAlignment::taCenter
                             : Column->GetImageDraw() == TImageDraw::idOpposite ? Opposite(align)
                                                                                 : align;
        Draw(Bounds(AlignedX(Box, W, a) + ox, Box.Top + (Box.Height() - H) / 2 + oy, W, H));
        break;
    }
    case TImageDraw::idScaled: {
        // As large as fits, keeping the proportions, centred.
        int sw = Box.Width(), sh = int((long long)H * sw / W);
        if (sh > Box.Height()) sh = Box.Height(), sw = int((long long)W * sh / H);
        if (sw > 0 && sh > 0)
            Draw(Bounds(Box.Left + (Box.Width() - sw) / 2, Box.Top + (Box.Height() - sh) / 2, sw, sh));
        break;
    }
    case TImageDraw::idStretch: Draw(Box); break;
    case TImageDraw::idTileCell: tile(Box.Left, Box.Top); break;
    case TImageDraw::idTileGrid: tile(0, 0); break;
    case TImageDraw::idTileCol: tile(Box.Left, 0); break;
    case TImageDraw::idTileRow: tile(0, Box.Top); break;
    }
}

}  // namespace vel
