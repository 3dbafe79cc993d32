#pragma once
// TSpeedButton: a light button for tool bars and navigators. It takes no focus, can stay
// down (GroupIndex groups buttons of which one is down), shows a glyph and a caption, and can
// repeat its click while it is held.
#include <memory>

#include "platform/controls/StdCtrls.h"

namespace vel {

class TTimer;

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
VEL_DECLARE_ENUM_INFO(TButtonLayout)

class TSpeedButton : public TGraphicControl {
    VEL_CLASS(TSpeedButton)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    void Dispatch(TMessage& Message) override;

    // Buttons of the same parent with the same non-zero GroupIndex release each other; one
    // that is down stays down when clicked again unless AllowAllUp.
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool GetDown() const { return FDown; }
    void SetDown(bool v);
    bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    // Flat buttons show an edge only while the mouse is over them or they are down.
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool v);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool v);
    // The glyph holds NumGlyphs images side by side: up, disabled, down, stay-down. Its
    // bottom-left pixel is the transparent colour.
    TBitmap& Glyph() { return *FGlyph; }
    TBitmap* GetGlyphObject() const { return FGlyph.get(); }
    void SetGlyphObject(TBitmap* v);
    // 1..4; other values raise EInvalidArgument.
    int GetNumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int v);
    TButtonLayout GetLayout() const { return FLayout; }
    void SetLayout(TButtonLayout v);
    // Pixels from the edge to the glyph (-1: centred), and between glyph and caption
    // (-1: spread evenly). Below -1 raises EInvalidArgument.
    int GetMargin() const { return FMargin; }
    void SetMargin(int v);
    int GetSpacing() const { return FSpacing; }
    void SetSpacing(int v);
    // While held, the click repeats: first after RepeatDelay, then every RepeatInterval ms
    // (the press itself clicks, the release does not).
    bool GetRepeating() const { return FRepeating; }
    void SetRepeating(bool v) { FRepeating = v; }
    unsigned GetRepeatDelay() const { return FRepeatDelay; }
    void SetRepeatDelay(unsigned v);
    unsigned GetRepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(unsigned v);

    TButtonState GetState() const { return FState; }
    bool GetMouseInControl() const { return FMouseInControl; }
    // Where the glyph and the caption go for a client rectangle (pressed offset excluded).
    void CalcLayout(const TRect& Client, TRect& GlyphRect, TRect& TextRect);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    void UpdateExclusive();
    void StopRepeat();
    void RepeatTimer();
    void DrawGlyph(TCanvas& Canvas, TPoint Pos);

    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FTransparent = true;
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FRepeating = false;
    unsigned FRepeatDelay = 400;
    unsigned FRepeatInterval = 100;
    TButtonState FState = TButtonState::bsUp;
    bool FMouseInControl = false;
    bool FDragging = false;
    std::unique_ptr<TTimer> FRepeatTimer;
};

}  // namespace vel
