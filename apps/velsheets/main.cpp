// Draws the contact sheets of the platform graphics: every compiled-in glyph with its index
// (docs/images/glyphs.png) and every canvas primitive and edge style (docs/images/canvas.png);
// and the data grid's pictures (docs/images/grid.png, docs/images/grid-styles.png).
// Usage: velsheets [output folder]   (default docs/images)
#include <iostream>
#include <string>
#include <vector>

#include "apps/velsheets/GridSheets.h"
#include "apps/velsheets/SheetsProgram.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/Resources.h"
#include "platform/graphics/Text.h"

using namespace vel;

namespace {

constexpr int kScale = 3;

void Title(TCanvas& c, int x, int y, const std::string& text) {
    c.Font().SetStyle({TFontStyle::fsBold});
    c.Font().SetSize(9);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.TextOut(x, y, text);
    c.Font().SetStyle({});
    c.Font().SetSize(8);
}

void Label(TCanvas& c, const TRect& r, const std::string& text, unsigned align = DT_CENTER) {
    c.Brush().SetStyle(TBrushStyle::bsClear);
    TRect t = r;
    c.DrawText(text, t, align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void Save(const TBitmap& b, const std::string& file) {
    TPngImage png;
    png.SetImage(b);
    png.SaveToFile(file);
    std::cout << "wrote " << file << "\n";
}

TBitmap GlyphSheet() {
    const std::vector<std::string> names = GlyphResourceNames();
    int height = 16, width = 400;
    for (const std::string& n : names) {
        const TGlyphResource* res = FindGlyphResource(n);
        height += res->Height * kScale + 40;
        const int cell = std::max(res->GlyphWidth * kScale + 10, 40);
        width = std::max(width, 24 + (res->Width / res->GlyphWidth) * (cell + 4));
    }
    TBitmap sheet(width, height);
    TCanvas& c = sheet.Canvas();
    c.Font().SetName("Tahoma");
    c.Brush().SetColor(clBtnFace);
    c.FillRect(Rect(0, 0, sheet.GetWidth(), sheet.GetHeight()));
    int y = 12;
    for (const std::string& name : names) {
        const TGlyphResource* res = FindGlyphResource(name);
        auto strip = LoadBitmapResource(name);
        const int count = res->Width / res->GlyphWidth;
        Title(c, 12, y,
              name + "  (" + std::to_string(count) + " glyphs, " + std::to_string(res->GlyphWidth) +
                  "x" + std::to_string(res->Height) + ")");
        y += 22;
        const int cell = std::max(res->GlyphWidth * kScale + 10, 40);
        for (int i = 0; i < count; ++i) {
            const int x = 12 + i * (cell + 4);
            const int gh = res->Height * kScale;
            // Enlarged on white, then actual size beside the index.
            TRect box = Bounds(x, y, cell, gh + 8);
            c.Brush().SetColor(clWindow);
            c.FillRect(box);
            TRect frame = box;
            DrawEdge(c, frame, BDR_SUNKENOUTER, BF_RECT);
            TBitmap one(res->GlyphWidth, res->Height);
            one.Canvas().CopyRect(Rect(0, 0, res->GlyphWidth, res->Height), strip->Canvas(),
                                  Bounds(i * res->GlyphWidth, 0, res->GlyphWidth, res->Height));
            one.SetTransparent(true);
            one.SetTransparentColor(kGlyphMaskColor);
            c.StretchDraw(Bounds(x + (cell - res->GlyphWidth * kScale) / 2, y + 4,
                                 res->GlyphWidth * kScale, gh),
                          one);
            c.Draw(x + 2, y + gh + 12, one);
            Label(c, Bounds(x + res->GlyphWidth + 2, y + gh + 10, cell - res->GlyphWidth - 2, 16),
                  std::to_string(i));
        }
        y += res->Height * kScale + 40;
    }
    return sheet;
}

TBitmap CanvasSheet() {
    TBitmap sheet(1000, 760);
    TCanvas& c = sheet.Canvas();
    c.Font().SetName("Tahoma");
    c.Brush().SetColor(clBtnFace);
    c.FillRect(Rect(0, 0, 1000, 760));

    // DrawEdge: every edge kind with the border flags.
    Title(c, 12, 10, "DrawEdge");
    const std::pair<unsigned, const char*> edges[] = {
        {BDR_RAISEDOUTER, "RAISEDOUTER"}, {BDR_SUNKENOUTER, "SUNKENOUTER"},
        {BDR_RAISEDINNER, "RAISEDINNER"}, {BDR_SUNKENINNER, "SUNKENINNER"},
        {EDGE_RAISED, "EDGE_RAISED"},     {EDGE_SUNKEN, "EDGE_SUNKEN"},
        {EDGE_ETCHED, "EDGE_ETCHED"},     {EDGE_BUMP, "EDGE_BUMP"}};
    const std::pair<unsigned, const char*> flags[] = {
        {0, "normal"},        {BF_SOFT, "BF_SOFT"},     {BF_FLAT, "BF_FLAT"},
        {BF_MONO, "BF_MONO"}, {BF_MIDDLE, "BF_MIDDLE"}, {unsigned(BF_TOPLEFT), "TOPLEFT only"}};
    for (int f = 0; f < 6; ++f) Label(c, Bounds(110 + f * 90, 30, 90, 16), flags[f].second);
    for (int e = 0; e < 8; ++e) {
        Label(c, Bounds(12, 50 + e * 34, 100, 28), edges[e].second, DT_LEFT);
        for (int f = 0; f < 6; ++f) {
            TRect r = Bounds(120 + f * 90, 50 + e * 34, 70, 28);
            c.Brush().SetColor(clWindow);
            c.FillRect(r);
            const unsigned fl = f == 5 ? BF_TOPLEFT : BF_RECT | flags[f].first;
            DrawEdge(c, r, edges[e].first, fl);
        }
    }

    // Frame controls.
    int x0 = 680;
    Title(c, x0, 10, "DrawFrameControl");
    const std::pair<unsigned, const char*> states[] = {{0, "normal"},
                                                       {DFCS_PUSHED, "pushed"},
                                                       {DFCS_CHECKED, "checked"},
                                                       {DFCS_INACTIVE, "inactive"},
                                                       {DFCS_FLAT, "flat"}};
    for (int s = 0; s < 5; ++s) {
        const int y = 34 + s * 30;
        Label(c, Bounds(x0, y, 60, 22), states[s].second, DT_LEFT);
        TRect b = Bounds(x0 + 60, y, 50, 22);
        DrawFrameControl(c, b, DFC_BUTTON, DFCS_BUTTONPUSH | states[s].first);
        TRect k = Bounds(x0 + 118, y + 4, 13, 13);
        DrawFrameControl(
            c, k, DFC_BUTTON,
            DFCS_BUTTONCHECK | states[s].first | (s == 3 ? unsigned(DFCS_CHECKED) : 0u));
        TRect rd = Bounds(x0 + 140, y + 4, 13, 13);
        DrawFrameControl(
            c, rd, DFC_BUTTON,
            DFCS_BUTTONRADIO | states[s].first | (s == 3 ? unsigned(DFCS_CHECKED) : 0u));
        const unsigned arrows[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT,
                                   DFCS_SCROLLRIGHT, DFCS_SCROLLCOMBOBOX};
        for (int a = 0; a < 5; ++a) {
            TRect ar = Bounds(x0 + 162 + a * 19, y + 2, 17, 17);
            DrawFrameControl(c, ar, DFC_SCROLL, arrows[a] | states[s].first);
        }
    }

    // Focus rectangles, Frame3D, gradients.
    Title(c, x0, 200, "Focus rectangle, Frame3D, GradientFill");
    c.Brush().SetColor(clWindow);
    c.FillRect(Bounds(x0, 224, 90, 24));
    c.DrawFocusRect(Bounds(x0 + 3, 227, 84, 18));
    TRect f3 = Bounds(x0 + 100, 224, 90, 24);
    Frame3D(c, f3, clBtnHighlight, clBtnShadow, 2);
    GradientFillRect(c, Bounds(x0 + 200, 224, 90, 24), clHighlight, clWindow, true);
    GradientFillRect(c, Bounds(x0, 256, 290, 24), RGB(255, 240, 200), RGB(230, 140, 40), false);

    // Shapes and pens.
    const int sy = 340;
    Title(c, 12, sy - 24, "Shapes, pens, brushes");
    c.Pen().SetColor(clBlack);
    c.Brush().SetColor(RGB(180, 210, 250));
    c.Rectangle(12, sy, 92, sy + 50);
    c.RoundRect(102, sy, 182, sy + 50, 16, 16);
    c.Ellipse(192, sy, 272, sy + 50);
    c.Polygon({Point(282, sy + 50), Point(322, sy), Point(362, sy + 50)});
    const std::pair<TPenStyle, const char*> pens[] = {{TPenStyle::psSolid, "solid"},
                                                      {TPenStyle::psDash, "dash"},
                                                      {TPenStyle::psDot, "dot"},
                                                      {TPenStyle::psDashDot, "dash dot"}};
    for (int p = 0; p < 4; ++p) {
        c.Pen().SetStyle(pens[p].first);
        c.MoveTo(380, sy + 6 + p * 12);
        c.LineTo(520, sy + 6 + p * 12);
        Label(c, Bounds(526, sy + p * 12, 80, 12), pens[p].second, DT_LEFT);
    }
    c.Pen().SetStyle(TPenStyle::psSolid);
    c.Pen().SetWidth(3);
    c.MoveTo(380, sy + 60);
    c.LineTo(520, sy + 70);
    c.Pen().SetWidth(1);
    const TBrushStyle hatches[] = {TBrushStyle::bsHorizontal, TBrushStyle::bsVertical,
                                   TBrushStyle::bsFDiagonal,  TBrushStyle::bsBDiagonal,
                                   TBrushStyle::bsCross,      TBrushStyle::bsDiagCross};
    for (int h = 0; h < 6; ++h) {
        c.Brush().SetColor(clWindow);
        c.FillRect(Bounds(620 + h * 60, sy, 50, 50));
        c.Brush().SetColor(clNavy);
        c.Brush().SetStyle(hatches[h]);
        c.FillRect(Bounds(620 + h * 60, sy, 50, 50));
        c.Brush().SetStyle(TBrushStyle::bsSolid);
    }

    // Text.
    const int ty = 440;
    Title(c, 12, ty - 24, "DrawText");
    const std::pair<unsigned, const char*> aligns[] = {
        {DT_LEFT | DT_SINGLELINE | DT_VCENTER, "Left, centred vertically"},
        {DT_CENTER | DT_SINGLELINE | DT_VCENTER, "Centre"},
        {DT_RIGHT | DT_SINGLELINE | DT_BOTTOM, "Right, bottom"},
        {DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS,
         "An end ellipsis cuts this long text"},
        {DT_LEFT | DT_WORDBREAK, "Word break wraps the words of this sentence onto lines"},
        {DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_RTLREADING,
         "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 123 abc"}};
    for (int i = 0; i < 6; ++i) {
        TRect r = Bounds(12 + (i % 3) * 200, ty + (i / 3) * 60, 190, 50);
        c.Brush().SetColor(clWindow);
        c.FillRect(r);
        c.Brush().SetStyle(TBrushStyle::bsClear);
        TRect t = r;
        t.Inflate(-3, -2);
        c.DrawText(aligns[i].second, t, aligns[i].first);
        c.Brush().SetStyle(TBrushStyle::bsSolid);
    }
    const char* faces[] = {"Tahoma", "Times New Roman", "Courier New"};
    for (int i = 0; i < 3; ++i) {
        c.Font().SetName(faces[i]);
        c.Font().SetSize(10);
        c.Brush().SetStyle(TBrushStyle::bsClear);
        c.TextOut(630, ty + i * 22, std::string(faces[i]) + ": The quick brown fox 0123");
    }
    c.Font().SetName("Tahoma");
    c.Font().SetStyle({TFontStyle::fsBold, TFontStyle::fsUnderline});
    c.TextOut(630, ty + 70, "Bold underlined");
    c.Font().SetStyle({TFontStyle::fsItalic, TFontStyle::fsStrikeOut});
    c.TextOut(760, ty + 70, "Italic struck out");
    c.Font().SetStyle({});
    c.Font().SetSize(8);

    // Image lists.
    const int iy = 600;
    Title(c, 12, iy - 24, "Image list: normal, blend 25 %, blend 50 %, disabled");
    TImageList list(nullptr, 12, 12);
    list.AddResource("VELDBNAVIGATOR");
    const unsigned styles[] = {ILD_NORMAL, ILD_BLEND25, ILD_BLEND50};
    for (int s = 0; s < 4; ++s)
        for (int i = 0; i < list.GetCount(); ++i) {
            const int x = 12 + s * 240 + i * 18;
            if (s < 3)
                list.DrawEx(c, i, x, iy, 0, 0, clNone, clDefault, styles[s]);
            else
                list.Draw(c, x, iy, i, false);
        }
    // Clipping with nested SaveDC.
    Title(c, 12, iy + 40, "Clipping: IntersectClipRect, ExcludeClipRect, nested SaveDC");
    c.SaveDC();
    c.IntersectClipRect(Bounds(12, iy + 64, 200, 60));
    c.SaveDC();
    c.ExcludeClipRect(Bounds(60, iy + 80, 100, 28));
    GradientFillRect(c, Bounds(0, iy + 50, 300, 100), clRed, clBlue, true);
    c.RestoreDC();
    c.Brush().SetColor(clYellow);
    c.FillRect(Bounds(100, iy + 90, 200, 10));
    c.RestoreDC();
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    return RunProgram(velsheets::ProgramInfo(), argc, argv,
                      [](const std::vector<std::string>& args) {
                          const std::string dir = velsheets::ParseArguments(args);
                          ForceOutputFolder(dir);
                          SetPinnedFontFile("");
                          Save(GlyphSheet(), dir + "/glyphs.png");
                          Save(CanvasSheet(), dir + "/canvas.png");
                          Save(*velsheets::GridShowcase(), dir + "/grid.png");
                          Save(*velsheets::GridStylesSheet(), dir + "/grid-styles.png");
                          return 0;
                      });
}
