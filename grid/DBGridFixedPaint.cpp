// Painting of everything that is not a data cell: the filler in the top-left corner, title
// cells with their header bands, buttons, images and sort markers, indicator cells, the
// blank row and total cells, each with the fixed look (FixedStyle, the theme, a custom style).
#include <algorithm>

#include "graphics/PimkitGraph.h"
#include "grid/DBGrid.h"
#include "grid/GridTextWriter.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/DataSet.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"

namespace vel {

namespace {

using O = TVelDBGridOption;
using OX = TVelDBGridOptionEx;
using F = TGridDrawStateFlag;

// The light blue of hot tiles.
constexpr TColor kHotTile = TColor(15717318);

bool IsBlank(const std::string& Text) { return Text.find_first_not_of(" \t\r\n") == std::string::npos; }

TAlignment ForReading(TAlignment Alignment, bool RightToLeft) {
    if (!RightToLeft || Alignment == TAlignment::taCenter) return Alignment;
    return Alignment == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
}

TRect Clipped(const TRect& R, const TRect& Clip) {
    return TRect{std::max(R.Left, Clip.Left), R.Top, std::min(R.Right, Clip.Right), R.Bottom};
}

// Keeps the canvas's clip for a scope.
class TClipScope {
public:
    explicit TClipScope(TCanvas& C) : FCanvas(C), FLevel(C.SaveDC()) {}
    ~TClipScope() { FCanvas.RestoreDC(FLevel); }
    TClipScope(const TClipScope&) = delete;
    TClipScope& operator=(const TClipScope&) = delete;

private:
    TCanvas& FCanvas;
    int FLevel;
};

}  // namespace

TVelCustomDBGrid::TCellLook TVelCustomDBGrid::CellLook() const {
    TCellLook look;
    using enum TSystemStyleElement;
    if (IsSystemStyle({sseData})) {
        look.Custom = true;
        look.Fonts = FSystemStyleElements.Contains(sseFont);
        look.Client = FSystemStyleElements.Contains(sseClient);
    } else if (SystemProfile().CustomStyleActive) {
        look.Custom = true;
        look.Fonts = GetStyleElements().Contains(TStyleElement::seFont);
        look.Client = GetStyleElements().Contains(TStyleElement::seClient);
    }
    return look;
}

int TVelCustomDBGrid::TitleMargin() const { return FGridStyle->GetTitleColMargin() + 1; }

TRect TVelCustomDBGrid::CornerRect() const {
    TRect r = CellRect(0, 0);
    if (FTitleOffset > 1) {
        const TRect last = CellRect(0, FTitleOffset - 1);
        if (!last.IsEmpty()) r.Bottom = last.Bottom;
    }
    return r;
}

void TVelCustomDBGrid::DrawGlyph(TCustomImageList* List, int Index, const TRect& Rect, bool Greyed) {
    if (!List || Index < 0 || Index >= List->GetCount()) return;
    List->Draw(Canvas(), Rect.Left + (Rect.Width() - List->GetWidth()) / 2,
               Rect.Top + (Rect.Height() - List->GetHeight()) / 2, Index, !Greyed);
}

// ---- The fixed look.

void TVelCustomDBGrid::FillFixed(const TRect& Rect, TColor Color, bool Hot, bool Down) {
    if (Rect.IsEmpty()) return;
    TCanvas& C = Canvas();
    if (SystemProfile().CustomStyleActive) {
        const TStyleColor part = Down ? TStyleColor::scButtonPressed
                                 : Hot ? TStyleColor::scButtonHot
                                       : TStyleColor::scButtonNormal;
        C.FillRectColor(Rect, StyleServices().GetStyleColor(part));
        return;
    }
    const THotButtons hotStyle = HotButtonsStyle();
    if ((Hot || Down) && hotStyle != THotButtons::hbNone) {
        const TColor base = hotStyle == THotButtons::hbTile ? kHotTile : Color;
        // The grid's gradient paints hot buttons when it has a hot option.
        if (FGradient->IsHotActive(true))
            FGradient->FillRect(C, Rect, base, Hot, Down);
        else
            C.FillRectColor(Rect, Down ? ShadowColor(base, -10) : ShadowColor(base, 10));
        return;
    }
    if (IsGridThemed() && FFixedTheme != TFixedTheme::ftNone) {
        // The system's header look: a face that darkens towards the bottom (tabs: the top).
        if (FFixedTheme == TFixedTheme::ftDefault)
            FillCanvas(C, clWindow, Color, Rect, TGradientDirection::gdVertical);
        else if (FFixedTheme == TFixedTheme::ftTabs)
            FillCanvas(C, ShadowColor(Color, -8), ShadowColor(Color, 12), Rect, TGradientDirection::gdVertical);
        else
            C.FillRectColor(Rect, Color);
        return;
    }
    C.FillRectColor(Rect, Color);
}

void TVelCustomDBGrid::DrawFixedFrame(const TRect& Rect, bool Hot, bool Down) {
    if (Rect.IsEmpty() || !FOptions.Contains(O::dgColLines) || !FOptions.Contains(O::dgRowLines)) return;
    TCanvas& C = Canvas();
    TRect r = Rect;
    if (SystemProfile().CustomStyleActive) {
        if (IsFlatStyle()) return;
        TRect e = GetCellFrameRect(Rect);
        C.FillRectColor(TRect{e.Left, e.Top, e.Right, e.Top + 1},
                        StyleServices().GetSystemColor(clBtnHighlight));
        return;
    }
    const bool mono = FFixedStyle >= TFixedStyle::fsNice;
    if (Down) {
        DrawEdge(C, r, BDR_SUNKENOUTER, mono ? unsigned(BF_RECT | BF_MONO) : unsigned(BF_RECT));
        return;
    }
    const THotButtons hotStyle = HotButtonsStyle();
    if (Hot && hotStyle != THotButtons::hbNone) {
        switch (hotStyle) {
        case THotButtons::hbBump: DrawEdge(C, r, EDGE_BUMP, BF_RECT | BF_SOFT); break;
        case THotButtons::hbRaised: DrawEdge(C, r, BDR_RAISEDINNER, BF_RECT); break;
        case THotButtons::hbLowered: DrawEdge(C, r, BDR_SUNKENOUTER, BF_RECT); break;
        default: break;  // a tile is its colour
        }
        return;
    }
    if (IsGridThemed() && FFixedTheme != TFixedTheme::ftNone) {
        if (FFixedTheme == TFixedTheme::ftButtons)
            DrawEdge(C, r, BDR_RAISEDINNER, BF_RECT | BF_SOFT);
        else if (FFixedTheme == TFixedTheme::ftTabs)
            C.FillRectColor(TRect{r.Left, r.Top, r.Right, r.Top + 1}, clBtnHighlight);
        return;
    }
    switch (FFixedStyle) {
    case TFixedStyle::fsDefault: DrawEdge(C, r, BDR_RAISEDINNER, BF_RECT); break;
    case TFixedStyle::fsSoft: DrawEdge(C, r, BDR_RAISEDINNER, BF_RECT | BF_SOFT); break;
    case TFixedStyle::fsNice: DrawEdge(C, r, BDR_RAISEDINNER, BF_TOPLEFT | BF_MONO); break;
    case TFixedStyle::fsGreat:
        DrawEdge(C, r, BDR_RAISEDINNER, BF_TOPLEFT | BF_MONO);
        DrawEdge(C, r, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
        break;
    case TFixedStyle::fsFine: DrawEdge(C, r, BDR_RAISEDINNER, BF_TOPLEFT | BF_MONO | BF_SOFT); break;
    default: DrawEdge(C, r, BDR_RAISEDINNER, BF_RECT | BF_FLAT); break;  // flat: the lines frame it
    }
}

// The lines after and below a fixed cell; the base grid only draws them for wide lines.
void TVelCustomDBGrid::DrawFixedLines(const TRect& Rect, int VertTop) {
    const int cw = GetColLineWidth(), rw = GetRowLineWidth();
    if (cw <= 0 && rw <= 0) return;
    TCanvas& C = Canvas();
    const TColor color = SystemProfile().CustomStyleActive ? StyleServices().GetStyleColor(TStyleColor::scBorder)
                                                           : GetFixedLineColor();
    const bool rtl = UseRightToLeftAlignment();
    if (cw > 0) {
        const int top = std::min(Rect.Bottom, Rect.Top + VertTop);
        C.FillRectColor(rtl ? TRect{Rect.Left - cw, top, Rect.Left, Rect.Bottom + rw}
                            : TRect{Rect.Right, top, Rect.Right + cw, Rect.Bottom + rw},
                        color);
    }
    if (rw > 0)
        C.FillRectColor(TRect{rtl ? Rect.Left - cw : Rect.Left, Rect.Bottom, rtl ? Rect.Right : Rect.Right + cw,
                              Rect.Bottom + rw},
                        color);
}

// ---- The cells.

void TVelCustomDBGrid::DrawFixedCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas& C = Canvas();
    const int dataCol = RawToDataColumn(ACol);
    const bool column = dataCol >= 0 && dataCol < int(FVisibleColumns.size());
    if (ARow < FTitleOffset) {
        if (ACol < FIndicatorOffset)
            DrawFillerCell(CornerRect(), AState);
        else if (column)
            DrawTitleCell(ACol, ARow, ARect, AState);
        else
            C.FillRectColor(ARect, GetFixedColor());
        return;
    }
    const int bottom = GetRowCount() - FTotalOffset;
    const bool blank = FOptionsEx.Contains(OX::dgBlankRow);
    if (ARow >= bottom && !(blank && ARow == bottom)) {
        DrawTotalCell(ACol, ARow, ARect, AState);
        return;
    }
    if (ACol < FIndicatorOffset) {
        if (ARow >= bottom) {  // the blank row
            FillFixed(ARect, GetFixedColor(), false, false);
            DrawFixedLines(ARect);
        } else {
            DrawIndicatorCell(ARow, ARect);
        }
        return;
    }
    // The blank row and a data row without a record show the empty background.
    const TCellLook look = CellLook();
    C.FillRectColor(ARect, look.Client ? StyleServices().GetStyleColor(TStyleColor::scWindow)
                           : column    ? FVisibleColumns[std::size_t(dataCol)]->GetColor()
                                       : GetColor());
}

void TVelCustomDBGrid::DrawFillerCell(const TRect& ARect, TGridDrawState AState) {
    const bool pressed = FTracking && FPressed && FTracked >= 0 && FTracked < FIndicatorOffset;
    const bool down = FFillerButton && (pressed || AState.Contains(F::gdPressed));
    const bool hot = FFillerButton && (down || IsFillerHot() || AState.Contains(F::gdHotTrack));
    FillFixed(ARect, FFillerColor, hot, down);
    DrawFixedFrame(ARect, hot, down);
    TRect glyph = ARect;
    if (down) glyph.Offset(1, 1);
    if (FFillerIndex >= 0)
        DrawGlyph(FTitleImages, FFillerIndex, glyph, !DrawEnabled());
    else if (FFillerIndex < -1)
        DrawGlyph(GetIndicators(), -FFillerIndex - 2, glyph, !DrawEnabled());
    DrawFixedLines(ARect);
}

void TVelCustomDBGrid::DrawIndicatorCell(int ARow, const TRect& ARect) {
    FillFixed(ARect, GetFixedColor(), false, false);
    DrawFixedFrame(ARect, false, false);
    const int dataRow = ARow - FTitleOffset;
    if (FDataLink->GetActive() && dataRow == FDataLink->GetActiveRecord()) FSelRow = ARow;
    if (!FOptions.Contains(O::dgIndicatorMarkOff)) {
        const int index = IndicatorIndex(dataRow);
        if (index >= 0) DrawGlyph(GetIndicators(), index, ARect, !DrawEnabled());
    }
    DrawFixedLines(ARect);
}

void TVelCustomDBGrid::DrawHeaderBands(TVelColumn* Master, const TRect& Full, const TRect& Clip) {
    TCanvas& C = Canvas();
    TVelColumnTitle* title = Master->GetTitle();
    const int bands = title->HeaderRowCount();
    const int cw = GetColLineWidth(), rw = GetRowLineWidth();
    const bool rtl = UseRightToLeftAlignment();
    const TCellLook look = CellLook();
    C.Font().Assign(FHeaderFont);
    if (look.Fonts) C.Font().SetColor(StyleServices().GetStyleFontColor(TStyleFont::sfHeaderSectionTextNormal));
    for (int i = 0; i < bands; ++i) {
        TRect full;
        const TRect band = HeaderRect(Master, i, Full, full);
        TRect face = Clipped(band, Clip);
        face.Bottom -= rw;
        // A band shared with the next title runs on over the line between them.
        TVelColumn* next = title->HeaderRight(i);
        if (next && cw > 0 && (RawColumnOf(next) < TCustomGrid::GetFixedCols()) ==
                                  (RawColumnOf(Master) < TCustomGrid::GetFixedCols())) {
            if (rtl)
                face.Left -= cw;
            else
                face.Right += cw;
        }
        TRect frame = full;
        frame.Bottom -= rw;
        TClipScope clip(C);
        // The line under the band is the band's own: nothing else paints that row.
        C.IntersectClipRect(TRect{face.Left, face.Top, face.Right, face.Bottom + rw});
        // Bands are never hot, but a pressed one looks pressed.
        const bool down = IsBandPressed(Master, i);
        FillFixed(face, FHeaderColor, down, down);
        WriteText(C, frame, TitleMargin(), 0, title->HeaderRows(i), TAlignment::taCenter,
                  UseRightToLeftReading(), true, true, TVAlignment::tvCenter);
        DrawFixedFrame(frame, down, down);
        if (rw > 0)
            C.FillRectColor(TRect{face.Left, face.Bottom, face.Right, face.Bottom + rw},
                            SystemProfile().CustomStyleActive ? StyleServices().GetStyleColor(TStyleColor::scBorder)
                                                              : GetFixedLineColor());
    }
}

void TVelCustomDBGrid::DrawTitleCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas& C = Canvas();
    TVelColumn* column = FVisibleColumns[std::size_t(RawToDataColumn(ACol))];
    TVelColumn* master = nullptr;
    const TRect rect = CalcTitleRect(column, ARow, master);
    if (!master || rect.IsEmpty()) {
        FillFixed(ARect, GetFixedColor(), false, false);
        DrawFixedFrame(ARect, false, false);
        DrawFixedLines(ARect);
        return;
    }
    const bool rtl = UseRightToLeftAlignment();
    // A title over several cells is painted whole by the first of them the paint reaches.
    if (rect != ARect) {
        const TRect above{rect.Left, rect.Top, rect.Right, std::max(rect.Top, ARect.Top)};
        const TRect before = rtl ? TRect{ARect.Right, ARect.Top, rect.Right, ARect.Bottom}
                                 : TRect{rect.Left, ARect.Top, ARect.Left, ARect.Bottom};
        if ((!above.IsEmpty() && C.RectVisible(above)) || (!before.IsEmpty() && C.RectVisible(before))) return;
    }
    TVelColumnTitle* title = master->GetTitle();
    const TRect full = FullTitleRect(column, ARow, master);
    const bool down =
        AState.Contains(F::gdPressed) || (FTracking && FPressed && FTrackHeader < 0 && FTrackCol == master);
    const bool hot = down || AState.Contains(F::gdHotTrack) || IsTitleHot(master);
    const TCellLook look = CellLook();
    const int bands = FOptions.Contains(O::dgTitleHeaders) && FHeaderRowHeight > 0 ? title->HeaderRowCount() : 0;
    const int bandsHeight = std::min(full.Height(), bands * FHeaderRowHeight);
    // Bands clip themselves: a shared band also covers the line after the title.
    if (bands > 0) DrawHeaderBands(master, full, rect);
    {
        TClipScope clip(C);
        C.IntersectClipRect(rect);

        TRect caption = full;
        caption.Top += bandsHeight;
        FillFixed(Clipped(caption, rect), title->GetColor(), hot, down);
        C.Font().Assign(title->GetFont());
        if (look.Fonts) C.Font().SetColor(StyleServices().GetStyleFontColor(TStyleFont::sfHeaderSectionTextNormal));
        TRect text = caption;
        if (down) text.Offset(1, 1);

        // Title button: an auto-filter, expand or drop-down glyph in a strip at the end.
        const int button = TitleButtonGlyph(master);
        TCustomImageList* indicators = GetIndicators();
        const int strip = GetSystemMetrics(SM_CXVSCROLL);
        if (button >= 0 && indicators && indicators->GetCount() >= 12 && full.Width() >= strip + 2) {
            const TRect b = rtl ? TRect{text.Left, text.Top, text.Left + strip, text.Bottom}
                                : TRect{text.Right - strip, text.Top, text.Right, text.Bottom};
            DrawGlyph(indicators, button, b, !DrawEnabled());
            if (rtl)
                text.Left = b.Right;
            else
                text.Right = b.Left;
        }

        const std::string captionText = title->GetCaption();
        TCustomImageList* markers = GetMarkers();
        const int marker = title->GetMarkerIndex();
        const bool hasMarker = markers && marker >= 0 && marker < markers->GetCount() && text.Width() > 0;

        // Title image at the leading end, or centred in a title that shows nothing else.
        const int imageIndex = title->GetImageIndex();
        if (FTitleImages && imageIndex >= 0 && imageIndex < FTitleImages->GetCount()) {
            const int w = FTitleImages->GetWidth() + 2;
            TRect box = text;
            if (!IsBlank(captionText) || hasMarker) {
                box = rtl ? TRect{text.Right - w, text.Top, text.Right, text.Bottom}
                          : TRect{text.Left, text.Top, text.Left + w, text.Bottom};
                if (rtl)
                    text.Right = box.Left;
                else
                    text.Left = box.Right;
            }
            DrawGlyph(FTitleImages, imageIndex, box, !DrawEnabled());
        }

        // Group titles are centred over their columns.
        TAlignment align = master->GetExpanded() ? TAlignment::taCenter : title->GetAlignment();
        const int margin = TitleMargin();
        if (hasMarker) {
            const int w = markers->GetWidth() + 2;
            TRect box = rtl ? TRect{text.Left, text.Top, text.Left + w, text.Bottom}
                            : TRect{text.Right - w, text.Top, text.Right, text.Bottom};
            if (rtl)
                text.Left = box.Right;
            else
                text.Right = box.Left;
            // The marker follows a left or centred caption instead of keeping to the edge.
            if (FOptions.Contains(O::dgMarkerAutoAlign) && !rtl && align != TAlignment::taRightJustify) {
                const int captionWidth = std::min(WidestLineWidth(C, captionText), std::max(0, text.Width() - 2 * margin));
                const int x = align == TAlignment::taLeftJustify
                                  ? text.Left + margin + captionWidth + margin + 1
                                  : text.Left + text.Width() / 2 + captionWidth / 2 + margin + 1;
                if (x < box.Left) {
                    int shift = box.Left - x;
                    // A centred caption and its marker move right together, to stay centred.
                    if (align == TAlignment::taCenter) {
                        shift /= 2;
                        text.Offset(shift, 0);
                    }
                    box.Offset(-(box.Left - x) + (align == TAlignment::taCenter ? shift : 0), 0);
                }
            }
            DrawGlyph(markers, marker, box, !DrawEnabled());
        }

        if (!captionText.empty() && !text.IsEmpty()) {
            TClipScope textClip(C);
            C.IntersectClipRect(text);
            WriteText(C, text, margin, margin, captionText, ForReading(align, rtl), UseRightToLeftReading(),
                      title->GetEllipsis(), title->GetWordWrap(), title->GetVAlignment());
        }
        DrawFixedFrame(caption, hot, down);
    }
    // The line after the title stops below the bands it shares with the next title.
    int shared = 0;
    while (shared < bands && title->HeaderRight(shared)) ++shared;
    DrawFixedLines(rect, shared * FHeaderRowHeight);
}

void TVelCustomDBGrid::DrawTotalCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas& C = Canvas();
    const int dataCol = RawToDataColumn(ACol);
    const bool down = AState.Contains(F::gdPressed);
    const bool hot = down || AState.Contains(F::gdHotTrack);
    if (dataCol < 0 || dataCol >= int(FVisibleColumns.size())) {
        FillFixed(ARect, FTotals->GetColor(), false, false);
        DrawFixedFrame(ARect, false, false);
        DrawFixedLines(ARect);
        return;
    }
    TVelColumn* column = FVisibleColumns[std::size_t(dataCol)];
    const int blank = FOptionsEx.Contains(OX::dgBlankRow) ? 1 : 0;
    const int row = ARow - (GetRowCount() - FTotalOffset + blank);
    const int rows = FTotalOffset - blank;
    OX boxOption = OX::dgTotalFieldsBox;
    if (row < FTotalHeader)
        boxOption = OX::dgTotalHeaderBox;
    else if (row < FTotalHeader + FTotalValues)
        boxOption = OX::dgTotalValuesBox;
    else if (row >= rows - FTotalFooter)
        boxOption = OX::dgTotalFooterBox;

    // Without a total object of its own the cell takes the totals' font and colour.
    C.Font().Assign(FTotals->GetFont());
    if (CellLook().Fonts) C.Font().SetColor(StyleServices().GetStyleFontColor(TStyleFont::sfHeaderSectionTextNormal));
    if (!DrawEnabled()) C.Font().SetColor(clGrayText);
    const TColor color = FTotals->GetColor();
    const std::string text = GetTotalText(column, row, TTextKind::tkDisplay);
    const bool box = FOptionsEx.Contains(boxOption) && !(FOptionsEx.Contains(OX::dgTotalDataBoxOnly) && text.empty());
    if (box) {
        FillFixed(ARect, color, hot, down);
    } else {
        C.FillRectColor(ARect, color);
    }
    TRect r = ARect;
    if (box && down) r.Offset(1, 1);
    const bool rtl = UseRightToLeftAlignment() && !column->GetSuppressRTL();
    const int margin = FGridStyle->GetTotalColMargin() + 2;
    if (!text.empty()) {
        TClipScope clip(C);
        C.IntersectClipRect(ARect);
        WriteText(C, r, margin, margin, text, ForReading(column->GetAlignment(), rtl),
                  UseRightToLeftReading() && !column->GetSuppressRTL(), true, true, TVAlignment::tvCenter);
    }
    if (box) DrawFixedFrame(ARect, hot, down);
    DrawFixedLines(ARect);
}

std::string TVelCustomDBGrid::GetTotalText(TVelColumn* Column, int Row, TTextKind Kind) {
    // Columns carry no total objects yet: each cell's text is the application's, through
    // TotalGetText.
    std::string text;
    TotalGetText(Column, Row, text, Kind);
    return text;
}

void TVelCustomDBGrid::TotalGetText(TVelColumn* Column, int Index, std::string& Text, TTextKind Kind) {
    if (FOnTotalGetText) FOnTotalGetText(Column, Index, Text, Kind);
}

}  // namespace vel
