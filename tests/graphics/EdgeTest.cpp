#include <gtest/gtest.h>

#include "platform/graphics/Canvas.h"
#include "tests/graphics/GraphicsTestUtil.h"

using namespace vel;
using veltest::At;

namespace {

class Edges : public veltest::GraphicsTest {
protected:
    TBitmap Surface() {
        TBitmap b(12, 12);
        b.Fill(PixelFromColor(clWhite));
        return b;
    }
    // The colours of ring k (0 = outermost) of a 12x12 frame: top, left, bottom, right and
    // the top-right and bottom-left corners.
    struct Ring {
        TColor Top, Left, Bottom, Right, TopRight, BottomLeft;
    };
    static Ring RingAt(const TBitmap& b, int k) {
        const int lo = k, hi = 11 - k;
        return {At(b, 5, lo), At(b, lo, 5),  At(b, 5, hi),
                At(b, hi, 5), At(b, hi, lo), At(b, lo, hi)};
    }
    void ExpectRing(const TBitmap& b, int k, TColor topLeft, TColor bottomRight) {
        const Ring r = RingAt(b, k);
        EXPECT_EQ(r.Top, Sys(topLeft)) << "ring " << k;
        EXPECT_EQ(r.Left, Sys(topLeft)) << "ring " << k;
        EXPECT_EQ(r.Bottom, Sys(bottomRight)) << "ring " << k;
        EXPECT_EQ(r.Right, Sys(bottomRight)) << "ring " << k;
        // The bottom-right colour owns the two off corners.
        EXPECT_EQ(r.TopRight, Sys(bottomRight)) << "ring " << k;
        EXPECT_EQ(r.BottomLeft, Sys(bottomRight)) << "ring " << k;
        EXPECT_EQ(At(b, k, k), Sys(topLeft)) << "ring " << k;
    }
};

struct EdgeCase {
    unsigned Edge;
    unsigned Flags;
    TColor Outer[2];  // top-left, bottom-right; clNone when the ring is absent
    TColor Inner[2];
};

}  // namespace

TEST_F(Edges, EveryEdgeKindWithNormalSoftFlatAndMonoBorders) {
    const EdgeCase cases[] = {
        {BDR_RAISEDOUTER, 0, {cl3DLight, cl3DDkShadow}, {clNone, clNone}},
        {BDR_SUNKENOUTER, 0, {clBtnShadow, clBtnHighlight}, {clNone, clNone}},
        {BDR_RAISEDINNER, 0, {clBtnHighlight, clBtnShadow}, {clNone, clNone}},
        {BDR_SUNKENINNER, 0, {cl3DDkShadow, cl3DLight}, {clNone, clNone}},
        {EDGE_RAISED, 0, {cl3DLight, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}},
        {EDGE_SUNKEN, 0, {clBtnShadow, clBtnHighlight}, {cl3DDkShadow, cl3DLight}},
        {EDGE_ETCHED, 0, {clBtnShadow, clBtnHighlight}, {clBtnHighlight, clBtnShadow}},
        {EDGE_BUMP, 0, {cl3DLight, cl3DDkShadow}, {cl3DDkShadow, cl3DLight}},
        {EDGE_RAISED, BF_SOFT, {clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}},
        {EDGE_SUNKEN, BF_SOFT, {cl3DDkShadow, clBtnHighlight}, {clBtnShadow, cl3DLight}},
        {EDGE_RAISED, BF_FLAT, {clBtnShadow, clBtnShadow}, {clBtnFace, clBtnFace}},
        {EDGE_SUNKEN, BF_MONO, {clWindowFrame, clWindowFrame}, {clWindow, clWindow}},
        {BDR_SUNKENOUTER, BF_MONO, {clWindowFrame, clWindowFrame}, {clNone, clNone}},
        {BDR_RAISEDOUTER, BF_FLAT, {clBtnShadow, clBtnShadow}, {clNone, clNone}},
        {BDR_SUNKENINNER, BF_MONO, {clWindow, clWindow}, {clNone, clNone}},
    };
    for (const EdgeCase& ec : cases) {
        SCOPED_TRACE(::testing::Message() << "edge " << ec.Edge << " flags " << ec.Flags);
        TBitmap b = Surface();
        TRect r = Rect(0, 0, 12, 12);
        ASSERT_TRUE(DrawEdge(b.Canvas(), r, ec.Edge, BF_RECT | ec.Flags));
        EXPECT_EQ(r, Rect(0, 0, 12, 12));  // no BF_ADJUST: unchanged
        ExpectRing(b, 0, ec.Outer[0], ec.Outer[1]);
        if (ec.Inner[0] != clNone) {
            ExpectRing(b, 1, ec.Inner[0], ec.Inner[1]);
            EXPECT_EQ(At(b, 2, 2), clWhite);
        } else {
            EXPECT_EQ(At(b, 1, 1), clWhite);
        }
    }
}

TEST_F(Edges, AdjustMiddleAndPartialSides) {
    TBitmap b = Surface();
    TRect r = Rect(0, 0, 12, 12);
    DrawEdge(b.Canvas(), r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_MIDDLE);
    EXPECT_EQ(r, Rect(2, 2, 10, 10));
    EXPECT_EQ(At(b, 5, 5), Sys(clBtnFace));
    TBitmap m = Surface();
    TRect rm = Rect(0, 0, 12, 12);
    DrawEdge(m.Canvas(), rm, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_MONO);
    EXPECT_EQ(At(m, 5, 5), Sys(clWindow));

    // Only the top and left: the whole top row and left column belong to them.
    TBitmap p = Surface();
    TRect rp = Rect(0, 0, 12, 12);
    DrawEdge(p.Canvas(), rp, BDR_RAISEDOUTER, BF_TOPLEFT | BF_ADJUST);
    EXPECT_EQ(rp, Rect(1, 1, 12, 12));
    EXPECT_EQ(At(p, 11, 0), Sys(cl3DLight));
    EXPECT_EQ(At(p, 0, 11), Sys(cl3DLight));
    EXPECT_EQ(At(p, 11, 5), clWhite);
    EXPECT_EQ(At(p, 5, 11), clWhite);
    // Only the bottom and right.
    TBitmap q = Surface();
    TRect rq = Rect(0, 0, 12, 12);
    DrawEdge(q.Canvas(), rq, BDR_SUNKENINNER, BF_BOTTOMRIGHT | BF_ADJUST);
    EXPECT_EQ(rq, Rect(0, 0, 11, 11));
    EXPECT_EQ(At(q, 0, 11), Sys(cl3DLight));
    EXPECT_EQ(At(q, 11, 0), Sys(cl3DLight));
    EXPECT_EQ(At(q, 0, 0), clWhite);
}

// The check-box frames of the grid, each built from DrawEdge calls.
TEST_F(Edges, CheckBoxFrameCompositions) {
    // Sunken-outer all round, then sunken-outer mono top-left and sunken-inner bottom-right.
    TBitmap b = Surface();
    TRect r = Rect(0, 0, 12, 12);
    DrawEdge(b.Canvas(), r, BDR_SUNKENOUTER, BF_RECT);
    r.Inflate(-1, -1);
    DrawEdge(b.Canvas(), r, BDR_SUNKENOUTER, BF_TOPLEFT | BF_MONO);
    DrawEdge(b.Canvas(), r, BDR_SUNKENINNER, BF_BOTTOMRIGHT);
    ExpectRing(b, 0, clBtnShadow, clBtnHighlight);
    EXPECT_EQ(At(b, 5, 1), Sys(clWindowFrame));
    EXPECT_EQ(At(b, 1, 5), Sys(clWindowFrame));
    EXPECT_EQ(At(b, 5, 10), Sys(cl3DLight));
    EXPECT_EQ(At(b, 10, 5), Sys(cl3DLight));
    EXPECT_EQ(At(b, 10, 1), Sys(cl3DLight));  // drawn last, the inner edge owns the corner
    EXPECT_EQ(At(b, 2, 2), clWhite);

    // Flat: sunken-outer mono top-left, raised-outer mono bottom-right.
    TBitmap f = Surface();
    TRect rf = Rect(0, 0, 12, 12);
    DrawEdge(f.Canvas(), rf, BDR_SUNKENOUTER, BF_TOPLEFT | BF_MONO);
    DrawEdge(f.Canvas(), rf, BDR_RAISEDOUTER, BF_BOTTOMRIGHT | BF_MONO);
    ExpectRing(f, 0, clWindowFrame, clWindowFrame);

    // Mild: sunken-outer top-left, raised-inner bottom-right.
    TBitmap m = Surface();
    TRect rm = Rect(0, 0, 12, 12);
    DrawEdge(m.Canvas(), rm, BDR_SUNKENOUTER, BF_TOPLEFT);
    DrawEdge(m.Canvas(), rm, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
    EXPECT_EQ(At(m, 5, 0), Sys(clBtnShadow));
    EXPECT_EQ(At(m, 5, 11), Sys(clBtnShadow));
    EXPECT_EQ(At(m, 11, 5), Sys(clBtnShadow));
}

TEST_F(Edges, Frame3DShrinksByItsWidth) {
    TBitmap b = Surface();
    TRect r = Rect(0, 0, 12, 12);
    Frame3D(b.Canvas(), r, clRed, clBlue, 2);
    EXPECT_EQ(r, Rect(2, 2, 10, 10));
    EXPECT_EQ(At(b, 0, 0), clRed);
    EXPECT_EQ(At(b, 11, 0), clBlue);
    EXPECT_EQ(At(b, 0, 11), clBlue);
    EXPECT_EQ(At(b, 1, 5), clRed);
    EXPECT_EQ(At(b, 10, 5), clBlue);
    EXPECT_EQ(At(b, 2, 2), clWhite);
}

TEST_F(Edges, FrameControlsShowTheirState) {
    TBitmap b(40, 16);
    b.Fill(PixelFromColor(clWhite));
    TRect push = Rect(0, 0, 20, 16);
    DrawFrameControl(b.Canvas(), push, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    EXPECT_EQ(push, Rect(2, 2, 18, 14));
    EXPECT_EQ(At(b, 5, 0), Sys(clBtnHighlight));  // soft raised face
    EXPECT_EQ(At(b, 19, 5), Sys(cl3DDkShadow));
    EXPECT_EQ(At(b, 10, 8), Sys(clBtnFace));
    TRect pushed = Rect(20, 0, 40, 16);
    DrawFrameControl(b.Canvas(), pushed, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(At(b, 20, 0), Sys(clWindowFrame));
    EXPECT_EQ(At(b, 21, 5), Sys(clBtnShadow));

    TBitmap cb(13, 13);
    TRect r = Rect(0, 0, 13, 13);
    DrawFrameControl(cb.Canvas(), r, DFC_BUTTON, DFCS_BUTTONCHECK);
    EXPECT_EQ(At(cb, 6, 6), Sys(clWindow));
    EXPECT_EQ(At(cb, 0, 5), Sys(clBtnShadow));
    DrawFrameControl(cb.Canvas(), r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_EQ(At(cb, 5, 7), Sys(clWindowText));  // the tick
    DrawFrameControl(cb.Canvas(), r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
    EXPECT_EQ(At(cb, 5, 7), Sys(clGrayText));
    EXPECT_EQ(At(cb, 9, 9), Sys(clBtnFace));
    DrawFrameControl(cb.Canvas(), r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT);
    EXPECT_EQ(At(cb, 0, 5), Sys(clWindowFrame));

    TBitmap rb(13, 13);
    rb.Fill(PixelFromColor(clWhite));
    DrawFrameControl(rb.Canvas(), r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    EXPECT_EQ(At(rb, 6, 6), Sys(clWindowText));
    EXPECT_EQ(At(rb, 0, 0), clWhite);  // round: corners untouched
    EXPECT_EQ(At(rb, 6, 0), Sys(clBtnShadow));
    EXPECT_EQ(At(rb, 6, 12), Sys(clBtnHighlight));

    // The combo arrow points down: its widest row is above its tip.
    TBitmap ar(17, 17);
    TRect ra = Rect(0, 0, 17, 17);
    DrawFrameControl(ar.Canvas(), ra, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    int top = -1, topWidth = 0, bottomWidth = 0;
    for (int y = 3; y < 14; ++y) {
        int w = 0;
        for (int x = 3; x < 14; ++x) w += At(ar, x, y) == Sys(clBtnText);
        if (w && top < 0) top = y, topWidth = w;
        if (w) bottomWidth = w;
    }
    ASSERT_GE(top, 0);
    EXPECT_GT(topWidth, bottomWidth);
    EXPECT_EQ(bottomWidth, 1);
    DrawFrameControl(ar.Canvas(), ra, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE);
    EXPECT_EQ(At(ar, 8, top), Sys(clBtnShadow));
}
