#pragma once
// Pictures: the abstract TGraphic and the 32-bit TBitmap every canvas draws into.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Errors.h"
#include "platform/graphics/Graphics.h"

namespace vel {

class TCanvas;
class TBitmap;
class TStream;

using TBytes = std::vector<std::uint8_t>;

// One pixel: 0xAARRGGBB in memory order B, G, R, A.
using TPixel = std::uint32_t;
constexpr TPixel PixelFromRef(TColorRef c) {
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr TColorRef RefFromPixel(TPixel p) {
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}
inline TPixel PixelFromColor(TColor c) {
    return PixelFromRef(ColorToRGB(c));
}

enum class TPixelFormat {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};
enum class TAlphaFormat { afIgnored, afDefined, afPremultiplied };
enum class TTransparentMode { tmAuto, tmFixed };

class TGraphic : public TPersistent {
    VEL_CLASS(TGraphic)
public:
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual bool GetEmpty() const { return GetWidth() == 0 || GetHeight() == 0; }
    // Draws the picture stretched into Rect (logical coordinates of the canvas).
    virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;

    // Decoding raises EInvalidGraphic on damaged data and keeps the previous picture.
    virtual void LoadFromBuffer(const std::uint8_t* data, std::size_t size) = 0;
    void LoadFromBuffer(const TBytes& data) { LoadFromBuffer(data.data(), data.size()); }
    // Encoding; formats without an encoder raise EInvalidGraphicOperation.
    virtual TBytes SaveToBuffer() const;
    // From the stream's position to its end / appended at its position.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& fileName);
    // Written to a temporary name, then renamed.
    void SaveToFile(const std::string& fileName) const;

    virtual bool GetTransparent() const { return FTransparent; }
    virtual void SetTransparent(bool v);
    bool GetModified() const { return FModified; }
    void SetModified(bool v) { FModified = v; }
    const TNotifyEvent& GetOnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

protected:
    virtual void Changed();
    bool FTransparent = false;

private:
    bool FModified = false;
    TNotifyEvent FOnChange;
};

class TBitmap : public TGraphic {
    VEL_CLASS(TBitmap)
public:
    TBitmap();
    TBitmap(int width, int height);
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    ~TBitmap() override;

    void Assign(const TPersistent* source) override;

    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    void SetWidth(int v) { SetSize(v, FHeight); }
    void SetHeight(int v) { SetSize(FWidth, v); }
    // Keeps the overlapping pixels; new pixels are white, as a new bitmap's are.
    void SetSize(int width, int height);

    TPixel* ScanLine(int y) { return FPixels.data() + std::size_t(y) * std::size_t(FWidth); }
    const TPixel* ScanLine(int y) const {
        return FPixels.data() + std::size_t(y) * std::size_t(FWidth);
    }
    TPixel* Bits() { return FPixels.data(); }
    const TPixel* Bits() const { return FPixels.data(); }
    TPixel GetPixel(int x, int y) const;  // 0 outside
    void SetPixel(int x, int y, TPixel p);
    // Colour (0x00BBGGRR) of a pixel; clNone outside.
    TColor GetPixelColor(int x, int y) const;

    TCanvas& Canvas();

    TPixelFormat GetPixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat v) { FPixelFormat = v; }
    TAlphaFormat GetAlphaFormat() const { return FAlphaFormat; }
    void SetAlphaFormat(TAlphaFormat v) { FAlphaFormat = v; }
    // The colour treated as see-through when Transparent: the bottom-left pixel in tmAuto.
    TColor GetTransparentColor() const;
    void SetTransparentColor(TColor v);
    TTransparentMode GetTransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode v);

    void Draw(TCanvas& canvas, const TRect& rect) const override;
    // BMP only.
    void LoadFromBuffer(const std::uint8_t* data, std::size_t size) override;
    using TGraphic::LoadFromBuffer;
    TBytes SaveToBuffer() const override;
    // Named glyph bitmap compiled into the library (VELDBINDICATORS, ...); EResNotFound-like
    // EInvalidGraphic when the name is unknown.
    void LoadFromResourceName(const std::string& name);

    // Takes over decoded pixels (used by the codecs).
    void SetPixels(int width, int height, std::vector<TPixel> pixels);
    void Fill(TPixel p);

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<TPixel> FPixels;
    std::unique_ptr<TCanvas> FCanvas;
    TPixelFormat FPixelFormat = TPixelFormat::pf32bit;
    TAlphaFormat FAlphaFormat = TAlphaFormat::afIgnored;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = TTransparentMode::tmAuto;
};

// A fresh bitmap holding the named resource.
std::unique_ptr<TBitmap> LoadBitmapResource(const std::string& name);

}  // namespace vel
