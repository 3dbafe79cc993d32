// Bounds, Align and Anchors, constraints, scaling, parent-inherited properties, painting,
// ScrollWindowEx and capture.
#include "tests/controls/ControlsTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

class LayoutTest : public ControlsTest {
protected:
    LayoutTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsNone);
        Form->SetBounds(0, 0, 400, 300);
    }
    TLogControl* Add(int l, int t, int w, int h, TWinControl* parent = nullptr) {
        auto* c = new TLogControl(Form.get());
        c->SetBounds(l, t, w, h);
        c->SetParent(parent ? parent : Form.get());
        return c;
    }
    std::unique_ptr<TForm> Form;
};

TEST_F(LayoutTest, NarrowingKeepsRightAnchoredControlsAtTheirRightOffset) {
    auto* ok = Add(230, 260, 75, 25);
    ok->SetAnchors({TAnchorKind::akRight, TAnchorKind::akBottom});
    auto* edit = Add(10, 10, 380, 21);
    edit->SetAnchors({TAnchorKind::akLeft, TAnchorKind::akTop, TAnchorKind::akRight});
    auto* centred = Add(150, 100, 100, 20);
    centred->SetAnchors({TAnchorKind::akTop});
    auto* plain = Add(300, 200, 50, 20);
    Form->SetBounds(0, 0, 300, 250);
    EXPECT_EQ(ok->GetBoundsRect(), Bounds(130, 210, 75, 25));  // 95 from the right, 15 from the bottom
    EXPECT_EQ(edit->GetBoundsRect(), Bounds(10, 10, 280, 21));
    EXPECT_EQ(centred->GetLeft(), 100);  // centre stays in the middle
    EXPECT_EQ(plain->GetBoundsRect(), Bounds(300, 200, 50, 20));
    // Back to the old size: everything is where it started (no drift through rounding).
    Form->SetBounds(0, 0, 401, 300);
    Form->SetBounds(0, 0, 400, 300);
    EXPECT_EQ(ok->GetBoundsRect(), Bounds(230, 260, 75, 25));
    EXPECT_EQ(centred->GetLeft(), 150);
    // Moving the control by hand makes new rules.
    ok->SetLeft(200);
    Form->SetBounds(0, 0, 380, 300);
    EXPECT_EQ(ok->GetLeft(), 180);
}

TEST_F(LayoutTest, AlignedPanelsFillTheClientArea) {
    auto* top = Add(0, 0, 10, 40);
    auto* bottom = Add(0, 0, 10, 30);
    auto* left = Add(0, 0, 50, 10);
    auto* right = Add(0, 0, 60, 10);
    auto* client = Add(0, 0, 10, 10);
    auto* top2 = Add(0, 100, 10, 20);
    top->SetAlign(TAlign::alTop);
    top2->SetAlign(TAlign::alTop);  // below the first one: it was placed lower
    bottom->SetAlign(TAlign::alBottom);
    left->SetAlign(TAlign::alLeft);
    right->SetAlign(TAlign::alRight);
    client->SetAlign(TAlign::alClient);
    EXPECT_EQ(top->GetBoundsRect(), Rect(0, 0, 400, 40));
    EXPECT_EQ(top2->GetBoundsRect(), Rect(0, 40, 400, 60));
    EXPECT_EQ(bottom->GetBoundsRect(), Rect(0, 270, 400, 300));
    EXPECT_EQ(left->GetBoundsRect(), Rect(0, 60, 50, 270));
    EXPECT_EQ(right->GetBoundsRect(), Rect(340, 60, 400, 270));
    EXPECT_EQ(client->GetBoundsRect(), Rect(50, 60, 340, 270));
    Form->SetBounds(0, 0, 500, 400);
    EXPECT_EQ(bottom->GetBoundsRect(), Rect(0, 370, 500, 400));
    EXPECT_EQ(client->GetBoundsRect(), Rect(50, 60, 440, 370));
    top2->SetVisible(false);
    EXPECT_EQ(client->GetBoundsRect(), Rect(50, 40, 440, 370));
    // A control with a constraint keeps it inside the alignment.
    left->Constraints().SetMaxHeight(100);
    EXPECT_EQ(left->GetHeight(), 100);
    EXPECT_THROW(left->Constraints().SetMinHeight(200), EInvalidArgument);
    EXPECT_EQ(left->Constraints().GetMinHeight(), 0);
    // An aligned child inside an aligned panel follows both.
    auto* inner = Add(0, 0, 10, 10, client);
    inner->SetAlign(TAlign::alClient);
    EXPECT_EQ(inner->GetBoundsRect(), Rect(0, 0, 390, 330));
    Form->SetBounds(0, 0, 520, 400);
    EXPECT_EQ(inner->GetWidth(), 410);
}

TEST_F(LayoutTest, ClientAreaCoordinatesAndScaling) {
    TForm f(nullptr);
    f.SetBorderStyle(TFormBorderStyle::bsSingle);
    f.SetBounds(100, 50, 300, 200);
    TRect ins = f.GetBorderInsets();
    EXPECT_EQ(f.GetClientWidth(), 300 - ins.Left - ins.Right);
    auto* panel = new TLogControl(&f);
    panel->SetBounds(20, 30, 100, 80);
    panel->SetParent(&f);
    auto* child = new TLogControl(&f);
    child->SetBounds(5, 6, 20, 20);
    child->SetParent(panel);
    EXPECT_EQ(child->ClientToScreen(Point(1, 1)), Point(100 + ins.Left + 20 + 5 + 1, 50 + ins.Top + 30 + 6 + 1));
    EXPECT_EQ(child->ScreenToClient(child->ClientToScreen(Point(7, 9))), Point(7, 9));
    EXPECT_EQ(child->ClientToParent(Point(0, 0), &f), Point(25, 36));
    f.SetClientWidth(250);
    EXPECT_EQ(f.GetClientWidth(), 250);
    panel->Font().SetHeight(-10);
    panel->ScaleBy(3, 2);
    EXPECT_EQ(panel->GetBoundsRect(), Bounds(20, 30, 150, 120));
    EXPECT_EQ(child->GetBoundsRect(), Bounds(8, 9, 30, 30));  // 5*1.5 rounds to 8
    EXPECT_EQ(panel->Font().GetHeight(), -15);
}

TEST_F(LayoutTest, ParentFontColorAndBiDiModeFlowDown) {
    auto* panel = Add(0, 0, 200, 200);
    auto* child = Add(0, 0, 50, 50, panel);
    Form->Font().SetName("Verdana");
    EXPECT_EQ(child->Font().GetName(), "Verdana");
    EXPECT_TRUE(child->GetParentFont());
    child->Font().SetHeight(-20);
    EXPECT_FALSE(child->GetParentFont());
    Form->Font().SetName("Arial");
    EXPECT_EQ(panel->Font().GetName(), "Arial");
    EXPECT_EQ(child->Font().GetName(), "Verdana");
    child->SetParentFont(true);
    EXPECT_EQ(child->Font().GetName(), "Arial");

    Form->SetColor(clRed);
    EXPECT_EQ(child->GetColor(), clRed);
    panel->SetColor(clLime);
    EXPECT_EQ(child->GetColor(), clLime);
    EXPECT_FALSE(panel->GetParentColor());

    Form->SetBiDiMode(TBiDiMode::bdRightToLeft);
    EXPECT_TRUE(child->UseRightToLeftAlignment());
    EXPECT_TRUE(child->UseRightToLeftReading());
    child->SetBiDiMode(TBiDiMode::bdRightToLeftReadingOnly);
    EXPECT_FALSE(child->UseRightToLeftAlignment());
    EXPECT_TRUE(child->UseRightToLeftReading());
    EXPECT_FALSE(child->UseRightToLeftScrollBar());
    TSystemProfileScope p;
    p->MiddleEast = false;
    EXPECT_FALSE(panel->UseRightToLeftAlignment());

    Form->SetShowHint(true);
    EXPECT_TRUE(child->GetShowHint());
}

TEST_F(LayoutTest, PaintingTouchesOnlyTheInvalidPart) {
    auto* a = Add(10, 10, 100, 50);
    a->Fill = clRed;
    auto* b = Add(120, 10, 100, 50);
    b->Fill = clBlue;
    Form->Show();
    Process();
    EXPECT_EQ(a->Paints, 1);
    EXPECT_EQ(b->Paints, 1);
    TBitmap* s = Form->GetSurface();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(PixelAt(*s, 15, 15), clRed);
    EXPECT_EQ(PixelAt(*s, 125, 15), clBlue);
    EXPECT_EQ(PixelAt(*s, 5, 5), TColor(ColorToRGB(clBtnFace)));
    Process();
    EXPECT_EQ(a->Paints, 1);  // nothing invalid, nothing painted
    TRect r = Rect(20, 10, 30, 20);
    a->InvalidateRect(&r);
    TRect upd;
    EXPECT_TRUE(a->GetUpdateRect(upd));
    EXPECT_EQ(upd, r);
    a->Fill = clYellow;
    Process();
    EXPECT_EQ(a->Paints, 2);
    EXPECT_EQ(b->Paints, 1);
    EXPECT_EQ(a->LastClip, r);
    EXPECT_EQ(PixelAt(*s, 10 + 25, 10 + 15), clYellow);
    EXPECT_EQ(PixelAt(*s, 10 + 5, 10 + 5), clRed);  // outside the invalid part: untouched
    // Validated parts are not painted.
    a->Invalidate();
    a->ValidateRect(nullptr);
    Process();
    EXPECT_EQ(a->Paints, 2);
    // Update paints at once.
    a->Invalidate();
    a->Update();
    EXPECT_EQ(a->Paints, 3);
    // Hidden controls record nothing.
    b->SetVisible(false);
    b->Invalidate();
    Process();
    EXPECT_EQ(b->Paints, 1);
    EXPECT_EQ(PixelAt(*s, 125, 15), TColor(ColorToRGB(clBtnFace)));
}

TEST_F(LayoutTest, ChildrenAndOverlappingSiblingsClipThePainting) {
    auto* back = Add(0, 0, 200, 200);
    back->Fill = clRed;
    auto* child = Add(10, 10, 30, 30, back);
    child->Fill = clLime;
    auto* front = Add(100, 100, 50, 50);  // above `back`
    front->Fill = clBlue;
    Form->Show();
    Process();
    back->Invalidate();
    Process();
    TBitmap* s = Form->GetSurface();
    EXPECT_EQ(PixelAt(*s, 15, 15), clLime);
    EXPECT_EQ(PixelAt(*s, 120, 120), clBlue);
    EXPECT_EQ(PixelAt(*s, 60, 60), clRed);
    // A graphic control paints in its parent's window, clipped to itself.
    class TBox : public TGraphicControl {
    public:
        using TGraphicControl::TGraphicControl;
        void Paint() override {
            Canvas().Brush().SetColor(clYellow);
            Canvas().FillRect(Rect(-50, -50, 500, 500));
        }
    };
    auto* box = new TBox(Form.get());
    box->SetBounds(50, 150, 20, 20);
    box->SetParent(back);
    Process();
    EXPECT_EQ(PixelAt(*s, 55, 155), clYellow);
    EXPECT_EQ(PixelAt(*s, 45, 155), clRed);
    EXPECT_EQ(PixelAt(*s, 75, 175), clRed);
    // A click on it reaches it, not its parent.
    int clicks = 0, parentClicks = 0;
    box->SetOnClick([&](TObject*) { ++clicks; });
    back->SetOnClick([&](TObject*) { ++parentClicks; });
    InjectClick(ScreenPointOf(box));
    Process();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(parentClicks, 0);
    auto img = box->CaptureImage();
    EXPECT_EQ(img->GetWidth(), 20);
    EXPECT_EQ(PixelAt(*img, 0, 0), clYellow);
}

TEST_F(LayoutTest, ScrollWindowExMovesPixelsAndInvalidatesWhatItUncovers) {
    auto* c = Add(0, 0, 100, 100);
    c->Fill = clWhite;
    Form->Show();
    Process();
    TBitmap* s = Form->GetSurface();
    // A recognisable pattern: row y has the colour y.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) s->SetPixel(x, y, PixelFromColor(TColor(y * 2)));
    const int before = c->Paints;
    TRect upd;
    c->ScrollWindowEx(0, -10, nullptr, nullptr, &upd);
    EXPECT_EQ(upd, Rect(0, 90, 100, 100));
    EXPECT_EQ(PixelAt(*s, 50, 0), TColor(20));
    EXPECT_EQ(PixelAt(*s, 50, 89), TColor(198));
    TRect inv;
    ASSERT_TRUE(c->GetUpdateRect(inv));
    EXPECT_EQ(inv, Rect(0, 90, 100, 100));
    // Only the uncovered strip is painted.
    c->Fill = clRed;
    Process();
    EXPECT_EQ(c->Paints, before + 1);
    EXPECT_EQ(c->LastClip, Rect(0, 90, 100, 100));
    EXPECT_EQ(PixelAt(*s, 50, 95), clRed);
    EXPECT_EQ(PixelAt(*s, 50, 89), TColor(198));
    // Scrolling part of the window sideways, with an invalid part that moves along.
    TRect part = Rect(0, 0, 50, 50);
    TRect pending = Rect(0, 0, 5, 5);
    c->InvalidateRect(&pending);
    c->ScrollWindowEx(10, 0, &part, &part, &upd);
    EXPECT_EQ(PixelAt(*s, 20, 5), TColor(30));  // unchanged row colour, moved
    ASSERT_TRUE(c->GetUpdateRect(inv));
    EXPECT_EQ(inv, Rect(0, 0, 15, 50));  // uncovered 0..10 plus the moved invalid 10..15
    EXPECT_EQ(PixelAt(*s, 60, 5), TColor(30));  // outside the scrolled part: untouched
}

TEST_F(LayoutTest, DoubleBufferedPaintsTheSame) {
    auto* a = Add(10, 10, 60, 60);
    a->Fill = clTeal;
    auto* child = Add(5, 5, 10, 10, a);
    child->Fill = clMaroon;
    Form->Show();
    Process();
    auto plain = Form->CaptureImage();
    a->SetDoubleBuffered(true);
    a->Fill = clTeal;
    a->Invalidate();
    Process();
    auto buffered = Form->CaptureImage();
    ASSERT_EQ(plain->GetWidth(), buffered->GetWidth());
    for (int y = 0; y < plain->GetHeight(); ++y)
        for (int x = 0; x < plain->GetWidth(); ++x)
            ASSERT_EQ(plain->GetPixel(x, y), buffered->GetPixel(x, y)) << x << "," << y;
    EXPECT_EQ(PixelAt(*buffered, 17, 17), clMaroon);
    EXPECT_THROW(TForm(nullptr).CaptureImage(), EInvalidOperation);
}

TEST_F(LayoutTest, BordersTakeNonClientSpace) {
    class TEdged : public TLogControl {
    public:
        using TLogControl::TLogControl;
        void CreateParams(TCreateParams& p) override {
            TLogControl::CreateParams(p);
            p.ExStyle |= WS_EX_CLIENTEDGE;
            p.Style |= WS_VSCROLL;
        }
    };
    auto* e = new TEdged(Form.get());
    e->SetBounds(10, 10, 100, 50);
    e->SetParent(Form.get());
    Form->Show();
    Process();
    EXPECT_EQ(e->GetClientRect(), Rect(0, 0, 100 - 4 - 17, 50 - 4));
    EXPECT_EQ(e->ClientToScreen(Point(0, 0)), Point(12, 12));
    TBitmap* s = Form->GetSurface();
    EXPECT_EQ(PixelAt(*s, 10, 10), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(PixelAt(*s, 12, 12), clWhite);
}

}  // namespace
}  // namespace veltest

namespace veltest {
namespace {

class TScrolled : public TLogControl {
public:
    using TLogControl::TLogControl;
    std::vector<std::pair<unsigned, int>> Scrolls;
    int Sizes = 0;
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_VSCROLL || m.Msg == WM_HSCROLL) {
            TWMScroll s(m);
            Scrolls.push_back({m.Msg == WM_VSCROLL ? s.ScrollCode : 100 + s.ScrollCode, s.Pos});
            return;
        }
        if (m.Msg == WM_SIZE) ++Sizes;
        TLogControl::Dispatch(m);
    }
};

TEST_F(LayoutTest, ScrollBarsTakeClientSpaceClampTheirPositionAndTurnClicksIntoScrollMessages) {
    auto* c = new TScrolled(Form.get());
    c->SetBounds(10, 10, 200, 150);
    c->SetParent(Form.get());
    Form->Show();
    Process();
    const int sizes = c->Sizes;
    c->ShowScrollBar(SB_VERT, true);
    EXPECT_EQ(c->GetClientWidth(), 200 - 17);
    EXPECT_EQ(c->Sizes, sizes + 1);
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 95;
    EXPECT_EQ(c->SetScrollInfo(SB_VERT, si, true), 90);  // the last page starts at 90
    EXPECT_EQ(GetScrollPos(c->GetHandle(), SB_VERT), 90);
    SetScrollPos(c->GetHandle(), SB_VERT, 0, true);
    Process();
    TBitmap* s = Form->GetSurface();
    // The up arrow box is a raised button-face square at the top of the bar.
    EXPECT_EQ(PixelAt(*s, 10 + 183 + 3, 10 + 13), TColor(ColorToRGB(clBtnFace)));
    EXPECT_EQ(PixelAt(*s, 10 + 183 + 8, 10 + 7), TColor(ColorToRGB(clBtnText)));  // the arrow
    EXPECT_EQ(PixelAt(*s, 10 + 183, 10), TColor(ColorToRGB(cl3DLight)));
    const TPoint bar = c->ClientToScreen(Point(183 + 8, 0));
    InjectClick(Point(bar.X, bar.Y + 8));     // up arrow
    FClock->Advance(1000);
    InjectClick(Point(bar.X, bar.Y + 150 - 8));  // down arrow
    FClock->Advance(1000);
    InjectClick(Point(bar.X, bar.Y + 100));  // below the thumb
    Process();
    EXPECT_EQ(c->Scrolls, (std::vector<std::pair<unsigned, int>>{
                              {SB_LINEUP, 0}, {SB_ENDSCROLL, 0}, {SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0},
                              {SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}));
    // Dragging the thumb (at the top, 17 + 116*10/100 = 11 px long) to the bottom.
    c->Scrolls.clear();
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, Point(bar.X, bar.Y + 20));
    InjectMouseMove(Point(bar.X, bar.Y + 200));
    InjectMouseUp(TMouseButton::mbLeft, Point(bar.X, bar.Y + 200));
    Process();
    EXPECT_EQ(c->Scrolls, (std::vector<std::pair<unsigned, int>>{
                              {SB_THUMBTRACK, 90}, {SB_THUMBPOSITION, 90}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetCaptureControl(), nullptr);
    c->ShowScrollBar(SB_VERT, false);
    EXPECT_EQ(c->GetClientWidth(), 200);
}

}  // namespace
}  // namespace veltest
