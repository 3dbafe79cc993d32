// Speed buttons: look per state, groups, repeating clicks, glyph layout.
#include "platform/controls/Buttons.h"
#include "tests/controls/ControlsTestUtil.h"
#include "tests/controls/PixelChecks.h"

using namespace vel;

namespace veltest {
namespace {

class SpeedButtonTest : public ControlsTest {
protected:
    SpeedButtonTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsNone);
        Form->SetBounds(0, 0, 300, 100);
    }
    TSpeedButton* Add(int left, int group = 0) {
        auto* b = new TSpeedButton(Form.get());
        b->SetBounds(left, 10, 23, 22);
        b->SetGroupIndex(group);
        b->SetParent(Form.get());
        return b;
    }
    std::unique_ptr<TForm> Form;
};

TEST_F(SpeedButtonTest, LookUpDownFlatHotAndDisabled) {
    auto* up = Add(10);
    auto* down = Add(40, 1);
    auto* flat = Add(70);
    flat->SetFlat(true);
    auto* off = Add(100);
    off->SetCaption("X");
    off->SetEnabled(false);
    down->SetDown(true);
    Form->Show();
    Process();
    auto img = up->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(img->GetPixelColor(22, 21), Rgb(cl3DDkShadow));
    EXPECT_EQ(img->GetPixelColor(11, 11), Rgb(clBtnFace));
    // Stays down: pushed frame and a checkerboard of face and highlight inside.
    img = down->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clWindowFrame));
    const TColor a = img->GetPixelColor(10, 10), b = img->GetPixelColor(11, 10);
    EXPECT_NE(a, b);
    EXPECT_TRUE((a == Rgb(clBtnHighlight) && b == Rgb(clBtnFace)) ||
                (b == Rgb(clBtnHighlight) && a == Rgb(clBtnFace)));
    // Flat: no edge until the mouse is over it, then a thin raised one.
    img = flat->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clBtnFace));
    InjectMouseMove(ScreenPointOf(flat));
    Process();
    EXPECT_TRUE(flat->GetMouseInControl());
    img = flat->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(img->GetPixelColor(22, 21), Rgb(clBtnShadow));
    InjectMouseMove(Point(290, 90));
    Process();
    img = flat->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clBtnFace));
    // Disabled: embossed caption, no text colour.
    img = off->CaptureImage();
    EXPECT_TRUE(LooksEmbossed(*img, Rect(2, 2, 21, 20)));
    EXPECT_EQ(off->GetState(), TButtonState::bsDisabled);
    off->SetEnabled(true);
    img = off->CaptureImage();
    EXPECT_TRUE(HasDarkText(*img, Rect(2, 2, 21, 20)));
    EXPECT_EQ(off->GetState(), TButtonState::bsUp);
}

TEST_F(SpeedButtonTest, GroupedButtonsReleaseEachOther) {
    auto* a = Add(10, 1);
    auto* b = Add(40, 1);
    auto* other = Add(70, 2);
    other->SetDown(true);
    int clicks = 0;
    b->SetOnClick([&](TObject*) { ++clicks; });
    a->SetDown(true);
    Form->Show();
    Process();
    InjectClick(ScreenPointOf(b));
    Process();
    EXPECT_TRUE(b->GetDown());
    EXPECT_FALSE(a->GetDown());
    EXPECT_TRUE(other->GetDown());  // another group
    EXPECT_EQ(clicks, 1);
    // Clicked again it stays down (still clicks); with AllowAllUp it comes up.
    InjectClick(ScreenPointOf(b));
    Process();
    EXPECT_TRUE(b->GetDown());
    EXPECT_EQ(clicks, 2);
    a->SetAllowAllUp(true);  // shared with the whole group
    EXPECT_TRUE(b->GetAllowAllUp());
    InjectClick(ScreenPointOf(b));
    Process();
    EXPECT_FALSE(b->GetDown());
    EXPECT_FALSE(a->GetDown());
    // Without a group a button never stays down.
    auto* plain = Add(100);
    plain->SetDown(true);
    EXPECT_FALSE(plain->GetDown());
    // Released outside: no click, and the down state is untouched.
    InjectMouseDown(TMouseButton::mbLeft, ScreenPointOf(b));
    InjectMouseMove(Point(290, 90));
    InjectMouseUp(TMouseButton::mbLeft, Point(290, 90));
    Process();
    EXPECT_FALSE(b->GetDown());
    EXPECT_EQ(clicks, 3);
}

TEST_F(SpeedButtonTest, RepeatingClickFollowsTheVirtualClockWhileHeld) {
    auto* next = Add(10);
    next->SetRepeating(true);
    int clicks = 0;
    next->SetOnClick([&](TObject*) { ++clicks; });
    Form->Show();
    Process();
    InjectMouseDown(TMouseButton::mbLeft, ScreenPointOf(next));
    Process();
    EXPECT_EQ(clicks, 1);  // the press itself
    FClock->Advance(399);
    Process();
    EXPECT_EQ(clicks, 1);
    FClock->Advance(1);
    Process();
    EXPECT_EQ(clicks, 2);  // after the delay
    for (int i = 0; i < 5; ++i) {
        FClock->Advance(100);
        Process();
    }
    EXPECT_EQ(clicks, 7);  // then every interval
    // Off the button it pauses; back on it goes on.
    InjectMouseMove(Point(290, 90));
    Process();
    FClock->Advance(300);
    Process();
    EXPECT_EQ(clicks, 7);
    InjectMouseMove(ScreenPointOf(next));
    Process();
    FClock->Advance(100);
    Process();
    EXPECT_EQ(clicks, 8);
    // The release adds nothing and stops the timer.
    InjectMouseUp(TMouseButton::mbLeft, ScreenPointOf(next));
    Process();
    FClock->Advance(1000);
    Process();
    EXPECT_EQ(clicks, 8);
    EXPECT_THROW(next->SetRepeatInterval(0), EInvalidArgument);
    EXPECT_EQ(next->GetRepeatInterval(), 100U);
}

TEST_F(SpeedButtonTest, GlyphAndCaptionLayout) {
    auto* b = Add(10);
    b->SetBounds(10, 10, 100, 40);
    TBitmap glyph(32, 16);  // two images of 16 x 16
    glyph.Canvas().Brush().SetColor(clFuchsia);
    glyph.Canvas().FillRect(Rect(0, 0, 32, 16));
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect(Rect(2, 2, 14, 14));
    glyph.Canvas().Brush().SetColor(clBlue);
    glyph.Canvas().FillRect(Rect(18, 2, 30, 14));
    b->SetGlyphObject(&glyph);
    EXPECT_THROW(b->SetNumGlyphs(5), EInvalidArgument);
    b->SetNumGlyphs(2);
    TRect g, t;
    b->CalcLayout(Rect(0, 0, 100, 40), g, t);
    EXPECT_EQ(g, Bounds(42, 12, 16, 16));  // no caption: centred
    b->SetCaption("Next");
    b->SetMargin(4);
    b->CalcLayout(Rect(0, 0, 100, 40), g, t);
    EXPECT_EQ(g.Left, 4);
    EXPECT_EQ(t.Left, 4 + 16 + 4);
    b->SetLayout(TButtonLayout::blGlyphRight);
    b->CalcLayout(Rect(0, 0, 100, 40), g, t);
    EXPECT_EQ(g.Right, 96);
    EXPECT_EQ(t.Right, 96 - 16 - 4);
    b->SetLayout(TButtonLayout::blGlyphTop);
    b->SetMargin(-1);
    b->CalcLayout(Rect(0, 0, 100, 40), g, t);
    EXPECT_EQ(t.Top - g.Bottom, 4);
    EXPECT_EQ(g.Top, (40 - (16 + 4 + t.Height()) + 1) / 2);
    // The up image in red, transparent corners; the second image when disabled.
    b->SetLayout(TButtonLayout::blGlyphLeft);
    b->SetCaption("");
    Form->Show();
    Process();
    auto img = b->CaptureImage();
    // Frame 2 pixels: the glyph starts at the centre of the inner rectangle.
    TRect inner = Rect(2, 2, 98, 38);
    b->CalcLayout(inner, g, t);
    EXPECT_EQ(img->GetPixelColor(g.Left + 8, g.Top + 8), Rgb(clRed));
    EXPECT_EQ(img->GetPixelColor(g.Left, g.Top), Rgb(clBtnFace));
    b->SetEnabled(false);
    img = b->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(g.Left + 8, g.Top + 8), Rgb(clBlue));
}

}  // namespace
}  // namespace veltest
