#pragma once
// Unit PimkitGraph: the gradient settings shared by the grid, its buttons and the navigator.
#include "platform/classes/Component.h"
#include "platform/classes/PropAccess.h"
#include "platform/classes/Strings.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/TSet.h"

namespace vel {

enum class TGradientDirection { gdHorizontal, gdVertical };
VEL_DECLARE_ENUM_INFO(TGradientDirection)
enum class TPimGradientOption { goGradient, goHotButton, goHotTrack, goHotColor };
VEL_DECLARE_ENUM_INFO(TPimGradientOption)
using TPimGradientOptions = TSet<TPimGradientOption>;
enum class TPimGradientCell { gcSelectedCell, gcSelectedRow, gcMultiSelected, gcStripedRows };
VEL_DECLARE_ENUM_INFO(TPimGradientCell)
using TPimGradientCells = TSet<TPimGradientCell>;
enum class TButtonDrawingStyle { bdsClassic, bdsThemed, bdsGradient };
VEL_DECLARE_ENUM_INFO(TButtonDrawingStyle)
enum class TFineTheme { ftNoChange, ftBorder, ftUnderline };
VEL_DECLARE_ENUM_INFO(TFineTheme)

class TPimGradient : public TPersistent {
    VEL_CLASS(TPimGradient)
public:
    // AControl is the control whose theme state the painting asks; not owned.
    explicit TPimGradient(TComponent* AControl = nullptr);
    void Assign(const TPersistent* Source) override;

    TComponent* GetControl() const { return FControl; }
    bool GetActive() const { return FActive; }
    void SetActive(bool Value);
    TGradientDirection GetDirection() const { return FDirection; }
    void SetDirection(TGradientDirection Value);
    TPimGradientOptions GetOptions() const { return FOptions; }
    void SetOptions(TPimGradientOptions Value);
    bool GetSwapColors() const { return FSwapColors; }
    void SetSwapColors(bool Value);
    TColor GetStartColor() const { return FStartColor; }
    void SetStartColor(TColor Value);
    // clDefault: the colour the painter passes in.
    TColor GetEndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    // clDefault: DefaultHotColor().
    TColor GetHotColor() const { return FHotColor; }
    void SetHotColor(TColor Value);
    TColor GetStepColor() const { return FStepColor; }
    void SetStepColor(TColor Value);
    TPimGradientCells GetCells() const { return FCells; }
    void SetCells(TPimGradientCells Value);
    int GetShadowFactor() const { return FShadowFactor; }
    void SetShadowFactor(int Value);

    const TNotifyEvent& GetOnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

    static TPimGradientCells DefaultCells();

protected:
    // Every setter ends here once the value has changed.
    virtual void Changed();
    virtual void Change();
    TPimGradientOptions FOptions;

private:
    TComponent* FControl;
    bool FActive = true;
    TGradientDirection FDirection = TGradientDirection::gdVertical;
    bool FSwapColors = false;
    TColor FStartColor = clWindow;
    TColor FEndColor = clDefault;
    TColor FHotColor = clDefault;
    TColor FStepColor = clDefault;
    TNotifyEvent FOnChange;
    TPimGradientCells FCells;
    int FShadowFactor = -25;
};

// Buttons are also gradient-filled when hot.
class TPimGradientButton : public TPimGradient {
    VEL_CLASS(TPimGradientButton)
public:
    explicit TPimGradientButton(TComponent* AControl = nullptr);
};

// The grid's instance: also chooses which cells get the gradient.
class TVelDBGridGradient : public TPimGradientButton {
    VEL_CLASS(TVelDBGridGradient)
public:
    using TPimGradientButton::TPimGradientButton;
};

}  // namespace vel
