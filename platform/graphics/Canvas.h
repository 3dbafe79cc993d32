#pragma once
// TCanvas draws into a TBitmap surface. A control paints into its top-level window's surface
// through a canvas placed with SetDeviceOrigin / SetDeviceClip: logical (0,0) lands at the
// origin and nothing outside the device clip is touched.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"

namespace vel {

class TFontFace;

struct TTextMetric {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 400;
    bool tmItalic = false;
    bool tmUnderlined = false;
    bool tmStruckOut = false;
};

enum class TCanvasOrientation { coLeftToRight, coRightToLeft };

// Raster operations (BitBlt, PatBlt, CopyMode).
enum : unsigned {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328,
    NOTSRCCOPY = 0x00330008,
    NOTSRCERASE = 0x001100A6,
    MERGECOPY = 0x00C000CA,
    MERGEPAINT = 0x00BB0226,
    PATCOPY = 0x00F00021,
    PATPAINT = 0x00FB0A09,
    PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062
};
using TCopyMode = unsigned;
constexpr TCopyMode cmSrcCopy = SRCCOPY;

// DrawText flags.
enum : unsigned {
    DT_TOP = 0,
    DT_LEFT = 0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
    DT_NOFULLWIDTHCHARBREAK = 0x80000,
    DT_HIDEPREFIX = 0x100000,
    DT_PREFIXONLY = 0x200000
};

class TCanvas : public TPersistent {
    VEL_CLASS(TCanvas)
public:
    TCanvas();
    explicit TCanvas(TBitmap* target);
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBitmap* GetTarget() const { return FTarget; }
    void SetTarget(TBitmap* target);
    bool HandleAllocated() const { return FTarget != nullptr; }

    // Placement on the surface (device = surface pixel coordinates).
    TPoint GetDeviceOrigin() const { return FOrigin; }
    void SetDeviceOrigin(TPoint origin);
    void SetDeviceClip(const TRect& surfaceRect);
    void ResetDeviceClip();
    // Window origin: logical point P is drawn at device point P - WindowOrg + DeviceOrigin.
    TPoint GetWindowOrg() const { return FWindowOrg; }
    void SetWindowOrg(TPoint org);

    TFont& Font() { return *FFont; }
    TPen& Pen() { return *FPen; }
    TBrush& Brush() { return *FBrush; }
    const TFont& Font() const { return *FFont; }
    void SetFont(const TFont& f) { FFont->Assign(&f); }
    void SetPen(const TPen& p) { FPen->Assign(&p); }
    void SetBrush(const TBrush& b) { FBrush->Assign(&b); }
    TCopyMode GetCopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode m) { FCopyMode = m; }
    TCanvasOrientation GetCanvasOrientation() const { return FOrientation; }
    void SetCanvasOrientation(TCanvasOrientation o) { FOrientation = o; }

    // --- shapes (pen for outlines, brush for interiors; right/bottom exclusive) ---
    TPoint GetPenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { FPenPos = p; }
    void MoveTo(int x, int y) { FPenPos = {x, y}; }
    // Draws to (x, y), excluding that end point.
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    void Polygon(const std::vector<TPoint>& points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    // One-pixel frame in the brush colour.
    void FrameRect(const TRect& r);
    // Dotted XOR frame: drawing it twice restores the pixels.
    void DrawFocusRect(const TRect& r);
    TColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TColor c);

    // --- text ---
    void TextOut(int x, int y, std::string_view text);
    // Clipped to Rect; a solid brush fills Rect first.
    void TextRect(const TRect& r, int x, int y, std::string_view text);
    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);
    TSize TextExtent(std::string_view text);
    TTextMetric GetTextMetrics();
    // Returns the height of the text drawn (or measured with DT_CALCRECT, which also
    // adjusts Rect).
    int DrawText(std::string_view text, TRect& r, unsigned flags);

    // --- pictures and blits ---
    void Draw(int x, int y, const TGraphic& graphic);
    void StretchDraw(const TRect& r, const TGraphic& graphic);
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);

    // --- clipping (logical coordinates) ---
    // Bounding box of the current clip in logical coordinates.
    TRect ClipRect() const;
    bool HasClipRegion() const { return FHasRegion; }
    void IntersectClipRect(const TRect& r);
    void ExcludeClipRect(const TRect& r);
    // Replaces the clip region by one rectangle.
    void SelectClipRect(const TRect& r);
    // Drops the clip region: everything inside the device clip may be drawn.
    void SelectClipNone();
    bool RectVisible(const TRect& r) const;
    // Saves clip, origins and tools; returns the new level (1 for the first).
    int SaveDC();
    // Positive: back to that level; negative: that many levels up. False when there is none.
    bool RestoreDC(int level = -1);

    // --- low level, used by the drawing routines ---
    TPoint ToDevice(TPoint p) const {
        return {p.X - FWindowOrg.X + FOrigin.X, p.Y - FWindowOrg.Y + FOrigin.Y};
    }
    TRect ToDevice(const TRect& r) const;
    TRect FromDevice(const TRect& r) const;
    // The rectangles (device coordinates, disjoint) that may be painted.
    const std::vector<TRect>& DeviceClipRects() const;
    void FillDeviceRect(const TRect& deviceRect, TPixel p);
    void InvertDeviceRect(const TRect& deviceRect);
    // Fills a logical rectangle with a colour, brush untouched.
    void FillRectColor(const TRect& r, TColor c);
    TFontFace& FontFace();

private:
    struct State;
    void ToolChanged(TObject* sender);
    void InvalidateClip() { FClipValid = false; }
    void PlotDevice(int x, int y, TPixel p);
    void DrawLineDevice(TPoint a, TPoint b, bool includeEnd);
    void FillPolygonDevice(const std::vector<TPoint>& pts, TPixel p);
    void DrawTextRun(int x, int y, std::string_view text, bool rtl, const TRect* clip);

    TBitmap* FTarget = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TPoint FPenPos;
    TPoint FOrigin;
    TPoint FWindowOrg;
    bool FHasDeviceClip = false;
    TRect FDeviceClip;
    bool FHasRegion = false;
    std::vector<TRect> FRegion;  // device coordinates
    mutable bool FClipValid = false;
    mutable std::vector<TRect> FClipRects;
    mutable TRect FClipSurface;
    TCopyMode FCopyMode = cmSrcCopy;
    TCanvasOrientation FOrientation = TCanvasOrientation::coLeftToRight;
    std::vector<State> FSaved;
    TFontFace* FFace = nullptr;
    unsigned FFaceGeneration = 0;
};

// --- window-system drawing routines over a canvas ---

enum : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    BDR_OUTER = 0x3,
    BDR_INNER = 0xC,
    BDR_RAISED = 0x5,
    BDR_SUNKEN = 0xA,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER
};
enum : unsigned {
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_TOPLEFT = BF_TOP | BF_LEFT,
    BF_TOPRIGHT = BF_TOP | BF_RIGHT,
    BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT,
    BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_DIAGONAL = 0x10,
    BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT,
    BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT,
    BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT,
    BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT,
    BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000
};
// Draws the classic 3D edge; with BF_ADJUST, Rect shrinks to the area inside the edge.
bool DrawEdge(TCanvas& canvas, TRect& rect, unsigned edge, unsigned flags);

enum : unsigned {
    DFC_CAPTION = 1,
    DFC_MENU = 2,
    DFC_SCROLL = 3,
    DFC_BUTTON = 4,
    DFC_POPUPMENU = 5
};
enum : unsigned {
    DFCS_BUTTONCHECK = 0x0,
    DFCS_BUTTONRADIOIMAGE = 0x1,
    DFCS_BUTTONRADIOMASK = 0x2,
    DFCS_BUTTONRADIO = 0x4,
    DFCS_BUTTON3STATE = 0x8,
    DFCS_BUTTONPUSH = 0x10,
    DFCS_SCROLLUP = 0x0,
    DFCS_SCROLLDOWN = 0x1,
    DFCS_SCROLLLEFT = 0x2,
    DFCS_SCROLLRIGHT = 0x3,
    DFCS_SCROLLCOMBOBOX = 0x5,
    DFCS_SCROLLSIZEGRIP = 0x8,
    DFCS_CAPTIONCLOSE = 0x0,
    DFCS_CAPTIONMIN = 0x1,
    DFCS_CAPTIONMAX = 0x2,
    DFCS_CAPTIONRESTORE = 0x3,
    DFCS_INACTIVE = 0x100,
    DFCS_PUSHED = 0x200,
    DFCS_CHECKED = 0x400,
    DFCS_TRANSPARENT = 0x800,
    DFCS_HOT = 0x1000,
    DFCS_ADJUSTRECT = 0x2000,
    DFCS_FLAT = 0x4000,
    DFCS_MONO = 0x8000
};
bool DrawFrameControl(TCanvas& canvas, TRect& rect, unsigned type, unsigned state);

// Frame of Width pixels: TopColor on the top and left, BottomColor on the bottom and right;
// Rect shrinks by Width.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

struct TTriVertex {
    int x = 0;
    int y = 0;
    std::uint16_t Red = 0, Green = 0, Blue = 0, Alpha = 0;  // channel in the high byte
};
struct TGradientRect {
    unsigned UpperLeft = 0;
    unsigned LowerRight = 0;
};
enum : unsigned { GRADIENT_FILL_RECT_H = 0, GRADIENT_FILL_RECT_V = 1 };
TTriVertex MakeVertex(int x, int y, TColor color);
// Rectangle meshes only (the triangle mode is not used by the library).
bool GradientFill(TCanvas& canvas, const TTriVertex* vertices, unsigned vertexCount,
                  const TGradientRect* meshes, unsigned meshCount, unsigned mode);
// Two-colour helper: from c1 at the left (top) edge to c2 at the right (bottom) edge.
void GradientFillRect(TCanvas& canvas, const TRect& rect, TColor c1, TColor c2, bool horizontal);

bool PatBlt(TCanvas& canvas, int x, int y, int width, int height, unsigned rop);
bool BitBlt(TCanvas& dest, int x, int y, int width, int height, const TCanvas& source, int sx,
            int sy, unsigned rop);
// Transparent-colour copy: pixels of the source equal to the key are skipped.
void TransparentBlt(TCanvas& dest, const TRect& destRect, const TBitmap& source,
                    const TRect& sourceRect, TColorRef key);

int DrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned flags);

enum class TBlitMode { bmCopy, bmTransparent, bmAlpha };
// Copies (stretching by nearest pixel when the sizes differ) a part of a bitmap onto the
// canvas: bmTransparent skips pixels equal to Key (alpha ignored), bmAlpha blends by alpha.
void BlitBitmap(TCanvas& dest, const TRect& destRect, const TBitmap& source,
                const TRect& sourceRect, TBlitMode mode, TPixel key = 0);

}  // namespace vel
