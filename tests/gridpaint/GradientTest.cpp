// Gradient settings and fills: which colours a face runs between for each option, the hot
// and pressed states, the per-colour cell fills, the back fills that keep their key colour,
// and the look queries that answer from the system profile.
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/PimkitGraph.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/SystemProfile.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

using namespace vel;

namespace {

TColor Rgb(TColor c) { return TColor(ColorToRGB(c)); }

// The channels differ by at most Tolerance (the gradient's last row stops one step short).
bool Near(TColor a, TColor b, int Tolerance = 8) {
    const TColorRef x = ColorToRGB(a), y = ColorToRGB(b);
    return std::abs(GetRValue(x) - GetRValue(y)) <= Tolerance &&
           std::abs(GetGValue(x) - GetGValue(y)) <= Tolerance &&
           std::abs(GetBValue(x) - GetBValue(y)) <= Tolerance;
}

class Gradient : public ::testing::Test {
protected:
    Gradient() : Bmp(40, 40) { Bmp.Fill(PixelFromColor(clWhite)); }
    TColor At(int x, int y) const { return Bmp.GetPixelColor(x, y); }
    TColor Top() const { return At(20, 0); }
    TColor Bottom() const { return At(20, 39); }
    TRect All() const { return TRect{0, 0, 40, 40}; }
    TSystemProfileScope Profile;
    TBitmap Bmp;
};

TEST_F(Gradient, FaceRunsFromTheStartColourToTheShadedBase) {
    TPimGradient g;
    TCanvas& c = Bmp.Canvas();
    g.FillRect(c, All(), clRed, false, false);
    EXPECT_EQ(Top(), Rgb(clWindow));
    EXPECT_TRUE(Near(Bottom(), ShadowColor(clRed, -25)));
    // No shading: down to the base colour itself.
    g.SetShadowFactor(0);
    g.FillRect(c, All(), clRed, false, false);
    EXPECT_TRUE(Near(Bottom(), clRed));
    // EndColor wins over the colour passed in.
    g.SetEndColor(clBlue);
    g.FillRect(c, All(), clRed, false, false);
    EXPECT_TRUE(Near(Bottom(), clBlue));
    // Swapped, and horizontal: the start colour moves to the other end.
    g.SetSwapColors(true);
    g.FillRect(c, All(), clRed, false, false);
    EXPECT_EQ(Top(), Rgb(clBlue));
    EXPECT_TRUE(Near(Bottom(), clWindow));
    g.SetSwapColors(false);
    g.SetDirection(TGradientDirection::gdHorizontal);
    g.FillRect(c, All(), clRed, false, false);
    EXPECT_EQ(At(0, 20), Rgb(clWindow));
    EXPECT_TRUE(Near(At(39, 20), clBlue));
    // A right-to-left canvas mirrors a horizontal gradient.
    c.SetCanvasOrientation(TCanvasOrientation::coRightToLeft);
    g.FillRect(c, All(), clRed, false, false);
    EXPECT_EQ(At(0, 20), Rgb(clBlue));
    c.SetCanvasOrientation(TCanvasOrientation::coLeftToRight);
    // Without goGradient the face is solid.
    g.SetOptions({});
    g.FillRect(c, All(), clRed, false, false);
    EXPECT_EQ(Top(), Rgb(clBlue));
    EXPECT_EQ(Bottom(), Rgb(clBlue));
}

TEST_F(Gradient, HotAndPressedFaces) {
    using enum TPimGradientOption;
    TCanvas& c = Bmp.Canvas();
    TPimGradient g;
    // Hot tracking alone: a darker frame around a solid face, darker again when pressed.
    g.SetOptions({goGradient, goHotTrack});
    g.FillRect(c, All(), clSilver, true, false);
    EXPECT_EQ(At(0, 20), Rgb(ShadowColor(clSilver, -50)));
    EXPECT_EQ(At(20, 20), Rgb(clSilver));
    g.FillRect(c, All(), clSilver, true, true);
    EXPECT_EQ(At(20, 20), Rgb(ShadowColor(clSilver, -25)));
    // Not hot: the plain gradient.
    g.FillRect(c, All(), clSilver, false, false);
    EXPECT_EQ(Top(), Rgb(clWindow));
    // Hot colour: the default light blue unless HotColor is set.
    g.SetOptions({goHotColor});
    g.FillRect(c, All(), clSilver, true, false);
    EXPECT_EQ(g.DefaultHotColor(), TColor(15717318));
    EXPECT_EQ(Top(), Rgb(g.DefaultHotColor()));
    g.SetHotColor(clLime);
    g.FillRect(c, All(), clSilver, true, false);
    EXPECT_EQ(Top(), Rgb(clLime));
    // A hot button turns its gradient round: the shade on top.
    TPimGradientButton b;
    EXPECT_TRUE(b.GetOptions().Contains(goHotButton));
    b.FillRect(c, All(), clRed, true, false);
    EXPECT_EQ(Top(), Rgb(ShadowColor(clRed, -25)));
    EXPECT_TRUE(Near(Bottom(), clWindow));
}

TEST_F(Gradient, ActivityFollowsTheSwitchesAndTheBoundRoutine) {
    TPimGradient g;
    EXPECT_TRUE(TPimGradient::IsAvailable());
    EXPECT_TRUE(g.IsActive());
    EXPECT_FALSE(g.IsHotActive());
    g.SwitchOptions({TPimGradientOption::goHotTrack}, true);
    EXPECT_TRUE(g.IsHotActive());
    // Themes count only unless ignored.
    Profile->ThemesEnabled = true;
    EXPECT_FALSE(g.IsActive());
    EXPECT_TRUE(g.IsActive(true));
    Profile->ThemesEnabled = false;
    // The library-wide switch and Active.
    SetGradientsEnabled(false);
    EXPECT_FALSE(g.IsActive(true));
    SetGradientsEnabled(true);
    g.SetActive(false);
    EXPECT_FALSE(g.IsActive(true));
    // Inactive: the style face is solid.
    TCanvas& c = Bmp.Canvas();
    g.FillStyleRect(c, All(), clRed);
    EXPECT_EQ(Top(), Rgb(clRed));
    EXPECT_EQ(Bottom(), Rgb(clRed));
    g.SetActive(true);
    g.FillStyleRect(c, All(), clRed);
    EXPECT_EQ(Top(), Rgb(ShadowColor(clRed, 12)));
    EXPECT_TRUE(Near(Bottom(), ShadowColor(clRed, -12)));
    // Without the routine nothing is drawn and nothing is active.
    Bmp.Fill(PixelFromColor(clWhite));
    const TGradientFillProc old = SetGradientFillProc(nullptr);
    EXPECT_FALSE(TPimGradient::IsAvailable());
    EXPECT_FALSE(g.IsActive(true));
    FillCanvas(c, clRed, clBlue, All(), TGradientDirection::gdVertical);
    EXPECT_EQ(Top(), Rgb(clWhite));
    SetGradientFillProc(old);
    FillCanvas(c, clBtnFace, clBtnFace, All(), TGradientDirection::gdVertical);
    EXPECT_EQ(Top(), Rgb(clBtnFace));
}

TEST_F(Gradient, CellFillsAreLighterShades) {
    TPimGradient g;
    TCanvas& c = Bmp.Canvas();
    g.FillCell(c, All(), clNavy, true);
    EXPECT_EQ(Top(), Rgb(GetShadowColor(clNavy, 20)));
    g.FillCell(c, All(), clNavy, false);
    EXPECT_EQ(Top(), Rgb(GetShadowColor(clNavy, 35)));
    EXPECT_TRUE(Near(Bottom(), GetShadowColor(clNavy, 10)));
    // Near white there is no lighter shade left: the colour itself.
    const TColor pale = RGB(250, 250, 250);
    g.FillCell(c, All(), pale, true);
    EXPECT_EQ(Top(), pale);
}

TEST_F(Gradient, BackFillsKeepWhatLiesUnderTheKeyColour) {
    TCanvas& c = Bmp.Canvas();
    c.FillRectColor(All(), clYellow);
    TPimGradient g;
    g.SetOptions({});  // solid, so every painted pixel is the base colour
    // Insets: nothing outside the target changes.
    g.FillBack(c, All(), clRed, 2, 3, false, false, false);
    EXPECT_EQ(At(4, 20), Rgb(clYellow));
    // The painted pixels equal the key (the colour passed in): the canvas shows through.
    EXPECT_EQ(At(20, 20), Rgb(clYellow));
    g.SetEndColor(clBlue);
    g.FillBack(c, All(), clRed, 2, 3, false, false, false);
    EXPECT_EQ(At(4, 20), Rgb(clYellow));
    EXPECT_EQ(At(5, 20), Rgb(clBlue));
    EXPECT_EQ(At(34, 34), Rgb(clBlue));
    EXPECT_EQ(At(35, 35), Rgb(clYellow));
    // FillStep paints with StepColor and leaves EndColor as it was.
    g.SetStepColor(clLime);
    g.FillStep(c, All(), clRed, 0, 0, false, false, false);
    EXPECT_EQ(At(20, 20), Rgb(clLime));
    EXPECT_EQ(g.GetEndColor(), clBlue);
    // The style's faces: solid by state without a gradient, a gradient with one.
    g.SetOptions({});
    g.FillStyleBack(c, All(), clRed, 0, 0, false, false, false);
    EXPECT_EQ(At(20, 20), Rgb(StyleServices().GetStyleColor(TStyleColor::scButtonNormal)));
    Profile->CustomStyleActive = true;
    g.FillStyleBack(c, All(), clRed, 0, 0, false, true, false);
    EXPECT_EQ(At(20, 20), Rgb(StyleServices().GetStyleColor(TStyleColor::scButtonPressed)));
    g.SetOptions({TPimGradientOption::goGradient});
    g.FillStyleBack(c, All(), clRed, 0, 0, true, false, false);
    const TColor hot = StyleServices().GetStyleColor(TStyleColor::scButtonHot);
    EXPECT_EQ(At(20, 0), Rgb(ShadowColor(hot, 12)));
    EXPECT_TRUE(Near(At(20, 39), hot));
    Profile->CustomStyleActive = false;
    // An empty target draws nothing.
    c.FillRectColor(All(), clLime);
    g.FillBack(c, TRect{0, 0, 4, 4}, clRed, 1, 1, false, false, false);
    EXPECT_EQ(At(1, 1), Rgb(clLime));
}

TEST_F(Gradient, ChangeCopiesOnlyWhenSomethingDiffers) {
    TPimGradient a, b;
    int changes = 0;
    a.SetOnChange([&](TObject*) { ++changes; });
    EXPECT_FALSE(a.Change(nullptr));
    EXPECT_FALSE(a.Change(&b));
    EXPECT_EQ(changes, 0);
    b.SetShadowFactor(0);
    b.SetCells({TPimGradientCell::gcStripedRows});
    EXPECT_TRUE(a.Change(&b));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a.GetShadowFactor(), 0);
    EXPECT_EQ(a.GetCells(), TPimGradientCells{TPimGradientCell::gcStripedRows});
    EXPECT_FALSE(a.Change(&b));
    EXPECT_EQ(changes, 1);
}

TEST_F(Gradient, LookQueriesReadTheSystemProfile) {
    Profile->OSMajorVersion = 6;
    Profile->OSMinorVersion = 1;
    EXPECT_TRUE(IsVista());
    EXPECT_FALSE(IsWin08());
    Profile->OSMinorVersion = 2;
    EXPECT_TRUE(IsWin08());
    EXPECT_FALSE(IsWin11());
    Profile->OSMajorVersion = 10;
    Profile->OSBuildNumber = 22000;
    EXPECT_TRUE(IsWin11());
    Profile->OSMajorVersion = 5;
    EXPECT_FALSE(IsVista());
    EXPECT_FALSE(IsWin11());
    EXPECT_FALSE(StylesEnabled());
    EXPECT_FALSE(ThemesEnabled());
    TStyleManager::SetStyle("Carbon");
    EXPECT_TRUE(StylesEnabled());
    EXPECT_TRUE(ThemesEnabled());
    TStyleManager::SetStyle("Windows");
    EXPECT_FALSE(ThemesEnabled());
}

}  // namespace

namespace {

TEST_F(Gradient, ControlBackgroundQueries) {
    vel::TPanel parent(nullptr);
    parent.SetColor(clRed);
    auto* child = new vel::TPanel(&parent);
    child->SetParent(&parent);
    child->SetBounds(0, 0, 10, 10);
    child->SetColor(clBlue);
    // Unthemed: the control erases with its own colour; themed: its parent shows.
    EXPECT_TRUE(ClearBackground(child, Bmp.Canvas()));
    EXPECT_EQ(At(5, 5), Rgb(clBlue));
    Profile->ThemesEnabled = true;
    ClearBackground(child, Bmp.Canvas());
    EXPECT_EQ(At(5, 5), Rgb(clRed));
    EXPECT_EQ(At(12, 12), Rgb(clWhite));
    // Only a transparent control needs repainting behind it, and never under themes.
    vel::TLabel label(nullptr);
    label.SetTransparent(true);
    EXPECT_FALSE(ControlNeedsInvalidate(&label));
    Profile->ThemesEnabled = false;
    EXPECT_TRUE(ControlNeedsInvalidate(&label));
    label.SetTransparent(false);
    EXPECT_FALSE(ControlNeedsInvalidate(&label));
    EXPECT_FALSE(ControlNeedsInvalidate(child));
    SetupParentBackground(child, true);
    EXPECT_TRUE(child->GetControlStyle().Contains(TControlStyleFlag::csParentBackground));
    SetupParentBackground(child, false);
    EXPECT_FALSE(child->GetControlStyle().Contains(TControlStyleFlag::csParentBackground));
}

}  // namespace
