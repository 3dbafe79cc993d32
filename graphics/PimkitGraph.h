#pragma once
// Unit PimkitGraph: the gradient settings shared by the grid, its buttons and the navigator,
// the two-colour gradient primitive, and the look queries (OS generation, themes, styles).
// The "system" answers come from the system profile (platform/controls/SystemProfile.h).
#include <memory>
#include <unordered_map>

#include "platform/classes/Component.h"
#include "platform/classes/PropAccess.h"
#include "platform/classes/Strings.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/TSet.h"

namespace vel {

class TControl;
class TWinControl;

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

// The gradient routine the fills call: rectangle meshes of two-vertex gradients. Bound to the
// canvas gradient fill when the library loads; null means no gradient can be drawn.
using TGradientFillProc = bool (*)(TCanvas& Canvas, const TTriVertex* Vertices, unsigned VertexCount,
                                   const TGradientRect* Meshes, unsigned MeshCount, unsigned Mode);
TGradientFillProc GetGradientFillProc();
// Returns the routine bound before (tests unbind it to see the fallbacks).
TGradientFillProc SetGradientFillProc(TGradientFillProc Proc);

// The switch that enables gradients for the whole library (initially on).
bool GetGradientsEnabled();
void SetGradientsEnabled(bool Value);

// Factor 0 keeps the colour; otherwise GetShadowColor. A darkening that ends in pure white
// gives black, a lightening that ends in black gives white.
TColor ShadowColor(TColor Color, int Factor);
// Color1 at the top (left) edge to Color2 at the bottom (right) edge; system colours
// resolved. Draws nothing while no gradient routine is bound.
void FillCanvas(TCanvas& Canvas, TColor Color1, TColor Color2, const TRect& Rect,
                TGradientDirection Direction);

// The system generation and look, as the system profile reports them.
bool IsVista();
bool IsWin08();
bool IsWin11();
// A custom (non-system) style is active.
bool StylesEnabled();
// For a control: whether the framework themes it; without one: whether style services are on.
bool ThemesEnabled(const TComponent* Control = nullptr);
// A themed control with a parent shows its parent's background; otherwise the control's
// colour. Returns true: the background is done, nothing else erases it.
bool ClearBackground(TWinControl* Control, TCanvas& Canvas);
void SetupParentBackground(TControl* Control, bool On);
// Without themes: the published Transparent property, or ParentBackground for a control that
// has a Gradient and no Transparent property.
bool ControlNeedsInvalidate(const TComponent* Control);

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

    // Takes Other's settings when any differs (then Changed); false when equal or none.
    virtual bool Change(const TPimGradient* Other);
    void SwitchOptions(TPimGradientOptions Value, bool On);
    // The gradient routine is bound.
    static bool IsAvailable();
    // Enabled globally, available and Active; unless IgnoreThemes, also off while the
    // owner control is themed.
    bool IsActive(bool IgnoreThemes = false) const;
    // IsActive with a hot option (goHotButton, goHotTrack, goHotColor).
    bool IsHotActive(bool IgnoreThemes = false) const;
    // A light blue, RGB(198, 211, 239).
    virtual TColor DefaultHotColor() const;

    // Button or cell face: solid or gradient by the options, hot and pressed states.
    virtual void FillRect(TCanvas& Canvas, const TRect& Rect, TColor Color, bool Hot, bool Down);
    // A lighter face of Color: solid, or a vertical gradient; derived colours cached.
    virtual void FillCell(TCanvas& Canvas, const TRect& Rect, TColor Color, bool Solid);
    // FillRect inside Rect less OuterInset and InnerInset; pixels FillRect leaves exactly
    // Color keep what was under them.
    virtual void FillBack(TCanvas& Canvas, const TRect& Rect, TColor Color, int OuterInset,
                          int InnerInset, bool Hot, bool Down, bool Flat);
    // FillBack with StepColor for EndColor.
    virtual void FillStep(TCanvas& Canvas, const TRect& Rect, TColor Color, int OuterInset,
                          int InnerInset, bool Hot, bool Down, bool Flat);
    // FillBack with the active style's button colours for the state.
    virtual void FillStyleBack(TCanvas& Canvas, const TRect& Rect, TColor Color, int OuterInset,
                               int InnerInset, bool Hot, bool Down, bool Flat);
    // Active (themes ignored) with goGradient: Color lighter by 12 to darker by 12; else solid.
    void FillStyleRect(TCanvas& Canvas, const TRect& Rect, TColor Color);

protected:
    // Every setter ends here once the value has changed: fires OnChange.
    virtual void Changed();
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

    struct TCellColors {
        TColor Solid, From, To;
    };
    const TCellColors& CellColors(TColor Color);
    // Paints the back rectangle with Fill into a scratch copy of the target area.
    template <class F>
    void FillBackWith(TCanvas& Canvas, const TRect& Rect, TColor Color, int OuterInset,
                      int InnerInset, bool Hot, bool Down, bool Flat, F&& Fill);
    std::unordered_map<TColor, TCellColors> FCellColors;
    std::unique_ptr<TBitmap> FScratch;
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
