// Check boxes, radio buttons, group boxes and panels: look and behaviour.
#include "platform/classes/Alignment.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "tests/controls/ControlsTestUtil.h"
#include "tests/controls/PixelChecks.h"

using namespace vel;

namespace veltest {
namespace {

class CheckRadioTest : public ControlsTest {
protected:
    CheckRadioTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsNone);
        Form->SetBounds(50, 50, 320, 240);
    }
    template <class T>
    T* Add(const std::string& caption, int top, TWinControl* parent = nullptr) {
        auto* c = new T(Form.get());
        c->SetCaption(caption);
        c->SetBounds(10, top, 120, 17);
        c->SetParent(parent ? parent : Form.get());
        return c;
    }
    // Pixels of a colour inside the 13-pixel box at the left, vertically centred.
    static int BoxPixels(const TBitmap& b, TColor c, int left = 0) {
        int n = 0;
        const int top = (b.GetHeight() - 13) / 2;
        for (int y = top + 2; y < top + 11; ++y)
            for (int x = left + 2; x < left + 11; ++x) n += b.GetPixelColor(x, y) == c;
        return n;
    }
    std::unique_ptr<TForm> Form;
};

TEST_F(CheckRadioTest, CheckBoxLookForEachState) {
    auto* box = Add<TCheckBox>("Active", 10);
    Form->Show();
    Process();
    auto img = box->CaptureImage();
    const int top = (17 - 13) / 2;
    // Sunken box: shadow outside top-left, white inside, no mark.
    EXPECT_EQ(img->GetPixelColor(0, top), Rgb(clBtnShadow));
    EXPECT_EQ(img->GetPixelColor(12, top + 12), Rgb(clBtnHighlight));
    EXPECT_EQ(BoxPixels(*img, Rgb(clWindowText)), 0);
    EXPECT_GT(BoxPixels(*img, Rgb(clWindow)), 70);
    box->SetChecked(true);
    img = box->CaptureImage();
    const int mark = BoxPixels(*img, Rgb(clWindowText));
    EXPECT_GE(mark, 7);
    // Grayed: a dithered box with a gray mark.
    box->SetAllowGrayed(true);
    box->SetState(TCheckBoxState::cbGrayed);
    img = box->CaptureImage();
    EXPECT_EQ(BoxPixels(*img, Rgb(clWindowText)), 0);
    EXPECT_GE(BoxPixels(*img, Rgb(clGrayText)), 7);
    EXPECT_GT(BoxPixels(*img, Rgb(clBtnHighlight)), 10);
    // Disabled and checked: face-coloured box, gray mark, embossed caption.
    box->SetState(TCheckBoxState::cbChecked);
    box->SetEnabled(false);
    img = box->CaptureImage();
    EXPECT_EQ(BoxPixels(*img, Rgb(clWindow)), 0);
    EXPECT_EQ(BoxPixels(*img, Rgb(clGrayText)), mark);
    EXPECT_TRUE(LooksEmbossed(*img, Rect(17, 0, 120, 17)));
    // Caption on the left: the box moves to the right edge.
    box->SetEnabled(true);
    box->SetAlignment(TAlignment::taLeftJustify);
    img = box->CaptureImage();
    EXPECT_GE(BoxPixels(*img, Rgb(clWindowText), 120 - 13), 7);
    EXPECT_THROW(box->SetAlignment(TAlignment::taCenter), EInvalidArgument);
    EXPECT_EQ(box->GetAlignment(), TAlignment::taLeftJustify);
}

TEST_F(CheckRadioTest, CheckBoxCyclesThroughGrayedAndClicksOnEveryChange) {
    auto* box = Add<TCheckBox>("&Remember", 10);
    std::vector<TCheckBoxState> seen;
    box->SetOnClick([&](TObject*) { seen.push_back(box->GetState()); });
    Form->Show();
    Process();
    InjectClick(ScreenPointOf(box));
    Process();
    EXPECT_TRUE(box->GetChecked());
    EXPECT_TRUE(box->Focused());
    InjectKey(VK_SPACE);
    Process();
    EXPECT_EQ(box->GetState(), TCheckBoxState::cbUnchecked);
    box->SetAllowGrayed(true);
    InjectKey(VK_SPACE);
    InjectKey(VK_SPACE);
    InjectKey(VK_SPACE);
    Process();
    // The code's own change clicks too; setting the same state does not.
    box->SetChecked(true);
    box->SetChecked(true);
    // The accelerator toggles from anywhere on the form.
    Form->Perform(CM_DIALOGCHAR, 'r');
    using enum TCheckBoxState;
    EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbGrayed, cbChecked,
                                                 cbUnchecked, cbChecked, cbUnchecked}));
    // Released outside the box: no change.
    InjectMouseDown(TMouseButton::mbLeft, ScreenPointOf(box));
    InjectMouseMove(Point(5, 5));
    InjectMouseUp(TMouseButton::mbLeft, Point(5, 5));
    Process();
    EXPECT_EQ(seen.size(), 7U);
}

TEST_F(CheckRadioTest, RadioButtonsAreExclusivePerParentAndDrawTheirDot) {
    auto* group = new TGroupBox(Form.get());
    group->SetParent(Form.get());
    group->SetBounds(150, 10, 150, 100);
    group->SetCaption("Size");
    auto* a = Add<TRadioButton>("Small", 10);
    auto* b = Add<TRadioButton>("Large", 30);
    auto* c = Add<TRadioButton>("Inside", 20, group);
    auto* d = Add<TRadioButton>("Also inside", 40, group);
    int clicks = 0;
    b->SetOnClick([&](TObject*) { ++clicks; });
    a->SetChecked(true);
    c->SetChecked(true);
    Form->Show();
    Process();
    InjectClick(ScreenPointOf(b));
    Process();
    EXPECT_FALSE(a->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    EXPECT_TRUE(c->GetChecked());  // another parent: untouched
    EXPECT_EQ(clicks, 1);
    // Clicking a checked radio button changes nothing and raises no click.
    InjectClick(ScreenPointOf(b));
    Process();
    EXPECT_EQ(clicks, 1);
    d->SetChecked(true);
    EXPECT_FALSE(c->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    // Arrows walk the group and check what they reach; Tab only moves the focus.
    c->SetFocus();
    InjectKey(VK_DOWN);
    Process();
    EXPECT_TRUE(d->Focused());
    EXPECT_TRUE(d->GetChecked());
    InjectKey(VK_UP);
    Process();
    EXPECT_TRUE(c->GetChecked());
    EXPECT_FALSE(d->GetChecked());
    a->SetChecked(true);
    a->SetFocus();
    InjectKey(VK_TAB);
    Process();
    EXPECT_TRUE(b->Focused());
    EXPECT_TRUE(a->GetChecked());
    EXPECT_FALSE(b->GetChecked());
    b->SetChecked(true);
    // The dot: text-coloured pixels in the middle of the circle only when checked.
    auto on = b->CaptureImage();
    auto off = a->CaptureImage();
    EXPECT_EQ(on->GetPixelColor(6, 8), Rgb(clWindowText));
    EXPECT_EQ(off->GetPixelColor(6, 8), Rgb(clWindow));
    b->SetEnabled(false);
    on = b->CaptureImage();
    EXPECT_EQ(on->GetPixelColor(6, 8), Rgb(clGrayText));
    // The group box keeps its children below the caption, inside its frame.
    TRect client = group->GetClientRect();
    group->AdjustClientRect(client);
    EXPECT_GT(client.Top, 8);
    EXPECT_GE(client.Left, 2);
    auto frame = group->CaptureImage();
    EXPECT_EQ(frame->GetPixelColor(0, 60), Rgb(clBtnShadow));  // etched: shadow, then highlight
    EXPECT_EQ(frame->GetPixelColor(1, 60), Rgb(clBtnHighlight));
}

TEST_F(CheckRadioTest, PanelBevelsBorderAndAlignedChildren) {
    auto* panel = new TPanel(Form.get());
    panel->SetParent(Form.get());
    panel->SetBounds(10, 10, 200, 100);
    panel->SetBevelInner(TPanelBevel::bvLowered);
    panel->SetBorderWidth(2);
    auto* child = new TPanel(Form.get());
    child->SetParent(panel);
    child->SetAlign(TAlign::alClient);
    child->SetBevelOuter(TPanelBevel::bvNone);
    // Raised outer (1), border (2), lowered inner (1): children start 4 pixels in.
    EXPECT_EQ(panel->FrameWidth(), 4);
    EXPECT_EQ(child->GetBoundsRect(), Rect(4, 4, 196, 96));
    panel->SetBevelWidth(2);
    EXPECT_EQ(child->GetBoundsRect(), Rect(6, 6, 194, 94));
    EXPECT_THROW(panel->SetBevelWidth(0), EInvalidArgument);
    EXPECT_THROW(panel->SetBorderWidth(-1), EInvalidArgument);
    EXPECT_EQ(panel->GetBevelWidth(), 2);
    EXPECT_EQ(panel->GetBorderWidth(), 2);
    child->SetVisible(false);
    Form->Show();
    Process();
    auto img = panel->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(1, 50), Rgb(clBtnHighlight));  // raised outer, 2 wide
    EXPECT_EQ(img->GetPixelColor(198, 50), Rgb(clBtnShadow));
    EXPECT_EQ(img->GetPixelColor(3, 50), Rgb(clBtnFace));    // the border
    EXPECT_EQ(img->GetPixelColor(5, 50), Rgb(clBtnShadow));  // lowered inner, 2 wide
    EXPECT_EQ(img->GetPixelColor(194, 50), Rgb(clBtnHighlight));
    EXPECT_EQ(img->GetPixelColor(6, 50), Rgb(clBtnFace));
}

TEST_F(CheckRadioTest, BevelShapesAndShapeFill) {
    auto* bevel = new TBevel(Form.get());
    bevel->SetParent(Form.get());
    bevel->SetBounds(10, 10, 60, 40);
    auto* shape = new TShape(Form.get());
    shape->SetParent(Form.get());
    shape->SetBounds(100, 10, 60, 40);
    shape->SetShape(TShapeType::stCircle);
    shape->Brush().SetColor(clRed);
    Form->Show();
    Process();
    auto img = bevel->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 20), Rgb(clBtnShadow));  // lowered box
    EXPECT_EQ(img->GetPixelColor(59, 20), Rgb(clBtnHighlight));
    bevel->SetShape(TBevelShape::bsTopLine);
    bevel->SetStyle(TBevelStyle::bsRaised);
    img = bevel->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(30, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(img->GetPixelColor(30, 1), Rgb(clBtnShadow));
    EXPECT_EQ(img->GetPixelColor(0, 20), Rgb(clBtnFace));  // nothing else
    img = shape->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(30, 20), Rgb(clRed));     // centre of the circle
    EXPECT_EQ(img->GetPixelColor(2, 20), Rgb(clBtnFace));  // a circle, not the whole rectangle
    EXPECT_EQ(img->GetPixelColor(30, 0), Rgb(clBlack));    // its pen at the top
}

TEST_F(CheckRadioTest, ImagePlacement) {
    auto* image = new TImage(Form.get());
    image->SetParent(Form.get());
    image->SetBounds(0, 0, 100, 50);
    TBitmap pic(40, 20);
    pic.Canvas().Brush().SetColor(clBlue);
    pic.Canvas().FillRect(Rect(0, 0, 40, 20));
    image->Picture().SetGraphic(&pic);
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 40, 20));
    image->SetCenter(true);
    EXPECT_EQ(image->DestRect(), Rect(30, 15, 70, 35));
    image->SetStretch(true);
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 100, 50));
    image->SetProportional(true);
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 100, 50));  // 2:1 fits exactly
    image->SetBounds(0, 0, 100, 100);
    EXPECT_EQ(image->DestRect(), Rect(0, 25, 100, 75));
    // Proportional alone shrinks a picture that is too large but never enlarges one.
    image->SetStretch(false);
    EXPECT_EQ(image->DestRect(), Rect(30, 40, 70, 60));
    image->SetBounds(0, 0, 20, 20);
    EXPECT_EQ(image->DestRect(), Rect(0, 5, 20, 15));
    image->SetAutoSize(true);
    EXPECT_EQ(image->GetBoundsRect(), Rect(0, 0, 40, 20));
    Form->Show();
    Process();
    auto img = image->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(20, 10), Rgb(clBlue));
}

}  // namespace
}  // namespace veltest
