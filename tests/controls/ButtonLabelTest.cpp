// Push buttons (look, mouse and keyboard, default and cancel in a modal form) and labels
// (auto size, painting, accelerators, bound labels).
#include "platform/classes/Alignment.h"
#include "platform/controls/StdCtrls.h"
#include "tests/controls/ControlsTestUtil.h"
#include "tests/controls/PixelChecks.h"

using namespace vel;

namespace veltest {
namespace {

class ButtonTest : public ControlsTest {
protected:
    ButtonTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsNone);
        Form->SetBounds(100, 100, 300, 200);
        Other = new TLogControl(Form.get());
        Other->SetBounds(10, 150, 50, 20);
        Other->SetParent(Form.get());
        Ok = AddButton("&OK", 120);
        Cancel = AddButton("Cancel", 200);
    }
    TButton* AddButton(const std::string& caption, int left) {
        auto* b = new TButton(Form.get());
        b->SetCaption(caption);
        b->SetBounds(left, 10, 75, 25);
        b->SetParent(Form.get());
        return b;
    }
    std::unique_ptr<TForm> Form;
    TLogControl* Other;
    TButton* Ok;
    TButton* Cancel;
};

TEST_F(ButtonTest, LookFollowsNormalDefaultFocusedPressedAndDisabled) {
    Form->SetActiveControl(Other);
    Form->Show();
    Process();
    // Normal: raised edge, light top-left, dark bottom-right.
    auto img = Ok->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(img->GetPixelColor(74, 24), Rgb(cl3DDkShadow));
    EXPECT_EQ(img->GetPixelColor(73, 23), Rgb(clBtnShadow));
    EXPECT_EQ(img->GetPixelColor(37, 3), Rgb(clBtnFace));
    EXPECT_TRUE(HasDarkText(*img, Rect(4, 4, 71, 21)));

    // Default (Enter would press it): a black frame, the raised edge inside it.
    Ok->SetDefault(true);
    img = Ok->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clWindowFrame));
    EXPECT_EQ(img->GetPixelColor(74, 12), Rgb(clWindowFrame));
    EXPECT_EQ(img->GetPixelColor(1, 1), Rgb(clBtnHighlight));

    // Focused: the focus rectangle's dots 4 pixels inside, on an even checkerboard square.
    Cancel->SetFocus();
    Process();
    EXPECT_FALSE(Ok->GetActive());  // another button has the focus
    EXPECT_TRUE(Cancel->GetActive());
    img = Ok->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clBtnHighlight));  // no longer framed
    img = Cancel->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clWindowFrame));
    int dots = 0;
    for (int x = 4; x < 71; ++x) dots += img->GetPixelColor(x, 4) != Rgb(clBtnFace);
    EXPECT_GT(dots, 20);
    EXPECT_LT(dots, 50);  // dotted, not a line

    // Pressed while the mouse is held: sunken, caption moved; back up outside the button.
    InjectMouseDown(TMouseButton::mbLeft, ScreenPointOf(Ok));
    Process();
    img = Ok->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clWindowFrame));
    EXPECT_EQ(img->GetPixelColor(1, 1), Rgb(clWindowFrame));
    EXPECT_EQ(img->GetPixelColor(2, 2), Rgb(clBtnShadow));
    InjectMouseMove(Point(5, 5));
    Process();
    img = Ok->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(1, 1), Rgb(clBtnHighlight));
    InjectMouseUp(TMouseButton::mbLeft, Point(5, 5));
    Process();

    // Disabled: no frame, embossed caption (highlight and shadow, no text colour).
    Ok->SetEnabled(false);
    img = Ok->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(0, 0), Rgb(clBtnHighlight));
    EXPECT_TRUE(LooksEmbossed(*img, Rect(4, 4, 71, 21)));
}

TEST_F(ButtonTest, MouseSpaceAndAcceleratorClick) {
    int clicks = 0;
    Ok->SetOnClick([&](TObject*) { ++clicks; });
    Form->Show();
    Process();
    // Released outside: no click; inside: one, and the button took the focus.
    InjectMouseDown(TMouseButton::mbLeft, ScreenPointOf(Ok));
    InjectMouseMove(Point(5, 5));
    InjectMouseUp(TMouseButton::mbLeft, Point(5, 5));
    Process();
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(Ok->Focused());
    InjectClick(ScreenPointOf(Ok));
    Process();
    EXPECT_EQ(clicks, 1);
    // Space clicks when it goes up.
    InjectKeyDown(VK_SPACE);
    Process();
    EXPECT_EQ(clicks, 1);
    InjectKeyUp(VK_SPACE);
    Process();
    EXPECT_EQ(clicks, 2);
    // Enter clicks the focused button even when it is not the default.
    InjectKey(VK_RETURN);
    Process();
    EXPECT_EQ(clicks, 3);
    // The caption's accelerator ("&OK") clicks it from elsewhere; a disabled button does not.
    Other->SetFocus();
    Form->Perform(CM_DIALOGCHAR, 'o');
    EXPECT_EQ(clicks, 4);
    Ok->SetEnabled(false);
    Form->Perform(CM_DIALOGCHAR, 'o');
    InjectClick(ScreenPointOf(Ok));
    Process();
    EXPECT_EQ(clicks, 4);
}

TEST_F(ButtonTest, DefaultAndCancelButtonsAnswerEnterAndEscapeInAModalForm) {
    Ok->SetDefault(true);
    Ok->SetModalResult(mrOk);
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrAbort);  // told apart from the loop's own Cancel
    Form->SetActiveControl(Other);
    int okClicks = 0, cancelClicks = 0;
    Ok->SetOnClick([&](TObject*) { ++okClicks; });
    Cancel->SetOnClick([&](TObject*) { ++cancelClicks; });
    std::vector<unsigned> keys;
    Application().SetModalResponder([&](TCustomForm&) {
        if (keys.empty()) return;
        InjectKey(keys.front());
        keys.erase(keys.begin());
    });

    keys = {VK_RETURN};
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_EQ(okClicks, 1);
    keys = {VK_ESCAPE};
    EXPECT_EQ(Form->ShowModal(), mrAbort);
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(okClicks, 1);

    // With the cancel button focused, Enter presses it rather than the default one.
    Form->SetActiveControl(Cancel);
    keys = {VK_RETURN};
    EXPECT_EQ(Form->ShowModal(), mrAbort);
    EXPECT_EQ(cancelClicks, 2);
    EXPECT_EQ(okClicks, 1);

    // A disabled default button ignores Enter; a modal result of None keeps the form open.
    Form->SetActiveControl(Other);
    Ok->SetEnabled(false);
    Cancel->SetModalResult(mrNone);
    keys = {VK_RETURN, VK_ESCAPE};
    EXPECT_EQ(Form->ShowModal(), mrCancel);  // nobody answered: the loop's own Cancel
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(cancelClicks, 3);
    EXPECT_TRUE(keys.empty());
}

class LabelTest : public ControlsTest {
protected:
    LabelTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsNone);
        Form->SetBounds(0, 0, 300, 200);
        Form->SetColor(clBtnFace);
        Label = new TLabel(Form.get());
        Label->SetParent(Form.get());
        Label->SetBounds(100, 10, 10, 10);
    }
    int TextWidth(const std::string& s) {
        TBitmap b(1, 1);
        b.Canvas().SetFont(Label->Font());
        return b.Canvas().TextWidth(s);
    }
    std::unique_ptr<TForm> Form;
    TLabel* Label;
};

TEST_F(LabelTest, AutoSizeFollowsCaptionAlignmentAndWrapping) {
    Label->SetCaption("Customer name");
    const int w = TextWidth("Customer name");
    EXPECT_EQ(Label->GetBoundsRect(), Bounds(100, 10, w, Label->GetHeight()));
    const int lineHeight = Label->GetHeight();
    EXPECT_GT(lineHeight, 8);
    // '&' marks the accelerator and takes no room; with ShowAccelChar off it is text.
    Label->SetCaption("&File");
    EXPECT_EQ(Label->GetWidth(), TextWidth("File"));
    Label->SetShowAccelChar(false);
    EXPECT_EQ(Label->GetWidth(), TextWidth("&File"));
    // A right-aligned label keeps its right edge.
    Label->SetShowAccelChar(true);
    Label->SetAlignment(TAlignment::taRightJustify);
    const int right = Label->GetBoundsRect().Right;
    Label->SetCaption("A much longer caption");
    EXPECT_EQ(Label->GetBoundsRect().Right, right);
    EXPECT_EQ(Label->GetWidth(), TextWidth("A much longer caption"));
    // Word wrap keeps the width and grows downwards; empty captions keep one line.
    Label->SetAlignment(TAlignment::taLeftJustify);
    Label->SetWordWrap(true);
    Label->SetWidth(TextWidth("A much longer"));
    Label->SetCaption("A much longer caption, wrapped");
    EXPECT_EQ(Label->GetWidth(), TextWidth("A much longer"));
    EXPECT_GE(Label->GetHeight(), 2 * lineHeight);
    Label->SetCaption("");
    EXPECT_EQ(Label->GetHeight(), lineHeight);
    // Without AutoSize nothing moves.
    Label->SetAutoSize(false);
    Label->SetBounds(5, 5, 40, 40);
    Label->SetCaption("Something else entirely");
    EXPECT_EQ(Label->GetBoundsRect(), Bounds(5, 5, 40, 40));
}

TEST_F(LabelTest, PaintsOpaqueOrTransparentAndEmbossedWhenDisabled) {
    Label->SetAutoSize(false);
    Label->SetBounds(10, 10, 120, 30);
    Label->SetCaption("Total");
    Label->SetParentColor(false);
    Label->SetColor(clYellow);
    Label->SetLayout(TTextLayout::tlBottom);
    Form->Show();
    Process();
    auto img = Label->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(119, 0), Rgb(clYellow));
    auto inkRows = [&](const TBitmap& b, TColor ink) {
        int first = -1;
        for (int y = 0; y < b.GetHeight() && first < 0; ++y)
            for (int x = 0; x < b.GetWidth(); ++x)
                if (b.GetPixelColor(x, y) == ink) {
                    first = y;
                    break;
                }
        return first;
    };
    // Bottom layout: the text's ink starts in the lower part.
    EXPECT_GT(inkRows(*img, Rgb(clWindowText)), 10);
    Label->SetTransparent(true);
    img = Label->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(119, 0), Rgb(clBtnFace));
    Label->SetEnabled(false);
    img = Label->CaptureImage();
    EXPECT_EQ(inkRows(*img, Rgb(clWindowText)), -1);
    EXPECT_GT(inkRows(*img, Rgb(clBtnHighlight)), 10);
    EXPECT_GT(inkRows(*img, Rgb(clBtnShadow)), 10);
}

TEST_F(LabelTest, AcceleratorFocusesTheFocusControlUntilItIsFreed) {
    auto* edit = new TLogControl(Form.get());
    edit->SetParent(Form.get());
    edit->SetBounds(10, 50, 100, 20);
    auto* other = new TLogControl(Form.get());
    other->SetParent(Form.get());
    other->SetBounds(10, 80, 100, 20);
    Label->SetCaption("&Name");
    Label->SetFocusControl(edit);
    Form->SetActiveControl(other);
    Form->Show();
    Process();
    Form->Perform(CM_DIALOGCHAR, 'x');
    EXPECT_TRUE(other->Focused());
    Form->Perform(CM_DIALOGCHAR, 'N');
    EXPECT_TRUE(edit->Focused());
    delete edit;
    EXPECT_EQ(Label->GetFocusControl(), nullptr);
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'n'), 0);
    EXPECT_EQ(GetAccelChar("Save && &Close"), U'c');
    EXPECT_EQ(GetAccelChar("No && accelerator"), 0U);
}

TEST_F(LabelTest, BoundLabelStaysNextToItsControl) {
    auto* edit = new TLogControl(Form.get());
    edit->SetParent(Form.get());
    edit->SetBounds(80, 60, 120, 21);
    auto* bound = new TBoundLabel(edit);  // bound to its owner
    bound->SetCaption("City");
    EXPECT_EQ(bound->GetParent(), Form.get());
    const int h = bound->GetHeight(), w = bound->GetWidth();
    EXPECT_EQ(bound->GetBoundsRect(), Bounds(80, 60 - h - 3, w, h));
    bound->SetLabelPosition(TLabelPosition::lpLeft);
    EXPECT_EQ(bound->GetBoundsRect(), Bounds(80 - w - 3, 60 + (21 - h) / 2, w, h));
    bound->SetLabelSpacing(10);
    EXPECT_EQ(bound->GetLeft(), 80 - w - 10);
    EXPECT_THROW(bound->SetLabelSpacing(-1), EInvalidArgument);
    EXPECT_EQ(bound->GetLabelSpacing(), 10);
    // A longer caption grows the label away from the control.
    bound->SetCaption("City of residence");
    EXPECT_EQ(bound->GetBoundsRect().Right, 80 - 10);
    edit->SetLeft(150);
    bound->UpdatePosition();
    EXPECT_EQ(bound->GetBoundsRect().Right, 150 - 10);
}

}  // namespace
}  // namespace veltest
