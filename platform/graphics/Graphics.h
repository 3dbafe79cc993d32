#pragma once
// Drawing tools: font, pen and brush. Each notifies OnChange after a real change so that a
// canvas or a control using it can react.
#include <functional>
#include <string>

#include "platform/classes/Object.h"
#include "platform/classes/PropAccess.h"
#include "platform/classes/Strings.h"  // TNotifyEvent
#include "platform/graphics/Colors.h"
#include "platform/graphics/Geometry.h"
#include "platform/rtl/TSet.h"

namespace vel {

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
enum class TFontQuality {
    fqDefault,
    fqDraft,
    fqProof,
    fqNonAntialiased,
    fqAntialiased,
    fqClearType,
    fqClearTypeNatural
};
VEL_DECLARE_ENUM_INFO(TFontStyle)
VEL_DECLARE_ENUM_INFO(TFontPitch)
VEL_DECLARE_ENUM_INFO(TFontQuality)
enum class TPenStyle {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psUserStyle,
    psAlternate
};
enum class TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum class TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

constexpr int DEFAULT_CHARSET = 1;

// Common base: change notification.
class TGraphicsObject : public TPersistent {
    VEL_CLASS(TGraphicsObject)
public:
    const TNotifyEvent& GetOnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

protected:
    virtual void Changed();

private:
    TNotifyEvent FOnChange;
};

class TFont : public TGraphicsObject {
    VEL_CLASS(TFont)
public:
    TFont();
    void Assign(const TPersistent* source) override;

    const std::string& GetName() const { return FName; }
    void SetName(const std::string& v);
    // Height in pixels: negative is the character height (em size), positive the cell height.
    int GetHeight() const { return FHeight; }
    void SetHeight(int v);
    // Size in points at PixelsPerInch.
    int GetSize() const;
    void SetSize(int points);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles v);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor v);
    int GetPixelsPerInch() const { return FPixelsPerInch; }
    // Keeps the point size: the pixel height follows.
    void SetPixelsPerInch(int v);
    TFontPitch GetPitch() const { return FPitch; }
    void SetPitch(TFontPitch v);
    int GetCharset() const { return FCharset; }
    void SetCharset(int v);
    int GetOrientation() const { return FOrientation; }
    void SetOrientation(int v);
    TFontQuality GetQuality() const { return FQuality; }
    void SetQuality(TFontQuality v);

    // Pixel size of the em square used for rendering.
    int EmPixels() const;
    bool SameAs(const TFont& other) const;

private:
    std::string FName = "Tahoma";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    int FPixelsPerInch = 96;
    TFontPitch FPitch = TFontPitch::fpDefault;
    int FCharset = DEFAULT_CHARSET;
    int FOrientation = 0;
    TFontQuality FQuality = TFontQuality::fqDefault;
};

class TPen : public TGraphicsObject {
    VEL_CLASS(TPen)
public:
    void Assign(const TPersistent* source) override;
    TColor GetColor() const { return FColor; }
    void SetColor(TColor v);
    int GetWidth() const { return FWidth; }
    void SetWidth(int v);
    TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle v);
    TPenMode GetMode() const { return FMode; }
    void SetMode(TPenMode v);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = TPenStyle::psSolid;
    TPenMode FMode = TPenMode::pmCopy;
};

class TBrush : public TGraphicsObject {
    VEL_CLASS(TBrush)
public:
    void Assign(const TPersistent* source) override;
    TColor GetColor() const { return FColor; }
    // Setting a colour on a clear brush makes it solid, as the framework does.
    void SetColor(TColor v);
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle v);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = TBrushStyle::bsSolid;
};

}  // namespace vel
