#pragma once
// Image lists: equally sized images kept with their masks (as alpha), drawn transparent,
// blended with a highlight colour or greyed out for disabled controls.
#include <vector>

#include "platform/classes/Component.h"
#include "platform/graphics/Bitmap.h"

namespace vel {

class TCanvas;

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum class TImageType { itImage, itMask };

// Styles of DrawEx.
enum : unsigned {
    ILD_NORMAL = 0x0,
    ILD_TRANSPARENT = 0x1,
    ILD_BLEND25 = 0x2,
    ILD_FOCUS = 0x2,
    ILD_BLEND50 = 0x4,
    ILD_SELECTED = 0x4,
    ILD_BLEND = 0x4,
    ILD_MASK = 0x10,
    ILD_IMAGE = 0x20
};

class TCustomImageList : public TComponent {
    VEL_CLASS(TCustomImageList)
public:
    explicit TCustomImageList(TComponent* owner) : TCustomImageList(owner, 16, 16) {}
    TCustomImageList(TComponent* owner, int width, int height);
    void Assign(const TPersistent* source) override;

    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    // Changing the size drops every image.
    void SetWidth(int v) { SetSize(v, FHeight); }
    void SetHeight(int v) { SetSize(FWidth, v); }
    void SetSize(int width, int height);
    int GetCount() const { return int(FImages.size()); }

    // The image may hold several images side by side; returns the index of the first added.
    // Mask: white (or any non-black) pixels are transparent; null for an opaque image, but
    // an image with an alpha channel keeps it.
    int Add(const TBitmap& image, const TBitmap* mask = nullptr);
    // Pixels of MaskColor become transparent; clDefault takes the bottom-left pixel.
    int AddMasked(const TBitmap& image, TColor maskColor);
    // A whole named resource strip, cut into squares as high as the strip when the list is
    // still empty and sized 0; mask RGB(128,128,0).
    int AddResource(const std::string& name);
    void Replace(int index, const TBitmap& image, const TBitmap* mask = nullptr);
    void Delete(int index);
    void Clear();
    // Copies image Index (alpha = mask) into Bitmap.
    void GetBitmap(int index, TBitmap& bitmap) const;
    const TBitmap& GetImage(int index) const;

    TColor GetBkColor() const { return FBkColor; }
    void SetBkColor(TColor v);
    TColor GetBlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor v);
    TDrawingStyle GetDrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle v);
    TImageType GetImageType() const { return FImageType; }
    void SetImageType(TImageType v);

    // With the list's drawing style, image type and colours.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    void Draw(TCanvas& canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
              bool enabled = true) const;
    // Style: ILD_* flags. Bk: background for transparent pixels (clNone leaves them alone,
    // clDefault is BkColor). Fg: blend colour (clDefault is the highlight colour, clNone
    // blends with what lies below). Dx/Dy: the part drawn, 0 for the whole image.
    void DrawEx(TCanvas& canvas, int index, int x, int y, int dx, int dy, TColor bk, TColor fg,
                unsigned style, bool enabled = true) const;

    const TNotifyEvent& GetOnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

protected:
    virtual void Change();

private:
    void CheckIndex(int index) const;
    TBitmap Cut(const TBitmap& image, const TBitmap* mask, int col, TPixel key, bool keyed) const;

    int FWidth;
    int FHeight;
    std::vector<TBitmap> FImages;  // alpha 0 = transparent
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = TDrawingStyle::dsNormal;
    TImageType FImageType = TImageType::itImage;
    TNotifyEvent FOnChange;
};

class TImageList : public TCustomImageList {
    VEL_CLASS(TImageList)
public:
    using TCustomImageList::TCustomImageList;
};

}  // namespace vel
