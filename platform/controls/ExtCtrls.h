#pragma once
// Panels, bevels, shapes and images.
#include <memory>

#include "platform/classes/Alignment.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Picture.h"

namespace vel {

enum class TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBevelShape {
    bsBox,
    bsFrame,
    bsTopLine,
    bsBottomLine,
    bsLeftLine,
    bsRightLine,
    bsSpacer
};
enum class TBevelStyle { bsLowered, bsRaised };
enum class TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
VEL_DECLARE_ENUM_INFO(TPanelBevel)
VEL_DECLARE_ENUM_INFO(TBevelShape)
VEL_DECLARE_ENUM_INFO(TBevelStyle)
VEL_DECLARE_ENUM_INFO(TShapeType)

// A container with up to two bevels and a border between them; its caption is drawn in the
// middle of what is left. Child controls align inside the bevels.
class TCustomPanel : public TCustomControl {
    VEL_CLASS(TCustomPanel)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TPanelBevel GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel v);
    TPanelBevel GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel v);
    // Widths below 1 (bevel) or 0 (border) raise EInvalidArgument.
    int GetBevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v);
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    // Pixels taken by the bevels and the border on each side.
    int FrameWidth() const;
    void AdjustClientRect(TRect& Rect) const override;

protected:
    void Paint() override;

private:
    void FrameChanged();
    TPanelBevel FBevelInner = TPanelBevel::bvNone;
    TPanelBevel FBevelOuter = TPanelBevel::bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = TAlignment::taCenter;
};

class TPanel : public TCustomPanel {
    VEL_CLASS(TPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// A 3-D box, frame or line.
class TBevel : public TGraphicControl {
    VEL_CLASS(TBevel)
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape GetShape() const { return FShape; }
    void SetShape(TBevelShape v);
    TBevelStyle GetStyle() const { return FStyle; }
    void SetStyle(TBevelStyle v);

protected:
    void Paint() override;

private:
    TBevelShape FShape = TBevelShape::bsBox;
    TBevelStyle FStyle = TBevelStyle::bsLowered;
};

// A geometric shape outlined with Pen and filled with Brush.
class TShape : public TGraphicControl {
    VEL_CLASS(TShape)
public:
    explicit TShape(TComponent* AOwner);
    TShapeType GetShape() const { return FShape; }
    void SetShape(TShapeType v);
    TPen& Pen() { return *FPen; }
    TBrush& Brush() { return *FBrush; }
    TPen* GetPenObject() const { return FPen.get(); }
    void SetPenObject(TPen* v) { FPen->Assign(v); }
    TBrush* GetBrushObject() const { return FBrush.get(); }
    void SetBrushObject(TBrush* v) { FBrush->Assign(v); }

protected:
    void Paint() override;

private:
    TShapeType FShape = TShapeType::stRectangle;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
};

// Shows a picture: at its own size from the top-left, centred, stretched, or scaled down
// keeping its proportions.
class TImage : public TGraphicControl {
    VEL_CLASS(TImage)
public:
    explicit TImage(TComponent* AOwner);
    TPicture& Picture() { return *FPicture; }
    TPicture* GetPictureObject() const { return FPicture.get(); }
    void SetPictureObject(TPicture* v) { FPicture->Assign(v); }
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool v);
    bool GetCenter() const { return FCenter; }
    void SetCenter(bool v);
    bool GetProportional() const { return FProportional; }
    void SetProportional(bool v);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool v);
    // Sizes the control to the picture whenever the picture changes.
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    // Where the picture goes, in client coordinates.
    TRect DestRect() const;

protected:
    void Paint() override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
    bool FTransparent = false;
    bool FAutoSize = false;
    bool FSyncing = false;
};

}  // namespace vel
