#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/classes/Streams.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Codecs.h"
#include "platform/graphics/Errors.h"
#include "platform/graphics/Resources.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CLASS(TGraphic, TPersistent)
VEL_DEFINE_CLASS(TBitmap, TGraphic)

TBytes TGraphic::SaveToBuffer() const {
    throw EInvalidGraphicOperation("A " + ClassName() + " cannot be saved.");
}

void TGraphic::LoadFromStream(TStream& stream) {
    const std::string data = stream.ReadToEnd();
    LoadFromBuffer(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

void TGraphic::SaveToStream(TStream& stream) const {
    const TBytes data = SaveToBuffer();
    stream.WriteBuffer(data.data(), std::int64_t(data.size()));
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFOpenError("Cannot open file \"" + fileName + "\".");
    TBytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LoadFromBuffer(data.data(), data.size());
}

void TGraphic::SaveToFile(const std::string& fileName) const {
    const TBytes data = SaveToBuffer();
    const std::string temp = fileName + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw EFCreateError("Cannot create file \"" + fileName + "\".");
        out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            throw EWriteError("Cannot write file \"" + fileName + "\".");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, fileName, ec);
    if (ec) {
        std::remove(temp.c_str());
        throw EFCreateError("Cannot create file \"" + fileName + "\": " + ec.message() + ".");
    }
}

void TGraphic::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    Changed();
}

void TGraphic::Changed() {
    FModified = true;
    if (FOnChange) FOnChange(this);
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) {
    SetSize(width, height);
}

TBitmap::TBitmap(const TBitmap& other) : TGraphic() {
    *this = other;
}

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this == &other) return *this;
    FWidth = other.FWidth;
    FHeight = other.FHeight;
    FPixels = other.FPixels;
    FPixelFormat = other.FPixelFormat;
    FAlphaFormat = other.FAlphaFormat;
    FTransparentColor = other.FTransparentColor;
    FTransparentMode = other.FTransparentMode;
    FTransparent = other.FTransparent;
    Changed();
    return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(const TPersistent* source) {
    if (auto* b = dynamic_cast<const TBitmap*>(source)) {
        *this = *b;
        return;
    }
    if (auto* g = dynamic_cast<const TGraphic*>(source)) {
        // Any other picture is rendered onto a transparent-black surface, alpha kept.
        TBitmap tmp(g->GetWidth(), g->GetHeight());
        tmp.Fill(0);
        TCanvas& c = tmp.Canvas();
        g->Draw(c, {0, 0, tmp.GetWidth(), tmp.GetHeight()});
        tmp.FAlphaFormat = TAlphaFormat::afDefined;
        tmp.FTransparent = g->GetTransparent();
        *this = tmp;
        return;
    }
    TGraphic::Assign(source);
}

void TBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0 || (long long)width * height > kMaxImagePixels)
        throw EInvalidGraphicOperation("Bitmap size " + std::to_string(width) + "x" +
                                       std::to_string(height) + " is not valid.");
    if (width == FWidth && height == FHeight) return;
    std::vector<TPixel> next(std::size_t(width) * std::size_t(height), 0xFFFFFFFFu);
    const int w = std::min(width, FWidth), h = std::min(height, FHeight);
    for (int y = 0; y < h; ++y)
        std::copy(ScanLine(y), ScanLine(y) + w, next.begin() + std::ptrdiff_t(y) * width);
    FPixels.swap(next);
    FWidth = width;
    FHeight = height;
    Changed();
}

void TBitmap::SetPixels(int width, int height, std::vector<TPixel> pixels) {
    if (width < 0 || height < 0 || pixels.size() != std::size_t(width) * std::size_t(height))
        throw EInvalidGraphicOperation("Pixel data does not match the size " +
                                       std::to_string(width) + "x" + std::to_string(height) + ".");
    FWidth = width;
    FHeight = height;
    FPixels = std::move(pixels);
    Changed();
}

void TBitmap::Fill(TPixel p) {
    std::fill(FPixels.begin(), FPixels.end(), p);
}

TPixel TBitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0;
    return ScanLine(y)[x];
}

void TBitmap::SetPixel(int x, int y, TPixel p) {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
    ScanLine(y)[x] = p;
}

TColor TBitmap::GetPixelColor(int x, int y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return clNone;
    return TColor(RefFromPixel(ScanLine(y)[x]));
}

TCanvas& TBitmap::Canvas() {
    if (!FCanvas) FCanvas = std::make_unique<TCanvas>(this);
    return *FCanvas;
}

TColor TBitmap::GetTransparentColor() const {
    if (FTransparentMode == TTransparentMode::tmFixed && FTransparentColor != clDefault)
        return FTransparentColor;
    if (FWidth == 0 || FHeight == 0) return clDefault;
    return TColor(RefFromPixel(ScanLine(FHeight - 1)[0]));
}

void TBitmap::SetTransparentColor(TColor v) {
    if (v == FTransparentColor) return;
    FTransparentColor = v;
    FTransparentMode = v == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode v) {
    if (v == FTransparentMode) return;
    if (v == TTransparentMode::tmAuto)
        FTransparentColor = clDefault;
    else
        FTransparentColor = GetTransparentColor();
    FTransparentMode = v;
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const {
    const TRect src{0, 0, FWidth, FHeight};
    if (FTransparent) {
        BlitBitmap(canvas, rect, *this, src, TBlitMode::bmTransparent,
                   PixelFromRef(ColorToRGB(GetTransparentColor())));
    } else if (FAlphaFormat != TAlphaFormat::afIgnored) {
        BlitBitmap(canvas, rect, *this, src, TBlitMode::bmAlpha);
    } else {
        BlitBitmap(canvas, rect, *this, src, TBlitMode::bmCopy);
    }
}

void TBitmap::LoadFromBuffer(const std::uint8_t* data, std::size_t size) {
    TDecodedImage img = DecodeBmp(data, size);
    FPixelFormat = img.Format;
    FAlphaFormat = img.HasAlpha ? TAlphaFormat::afDefined : TAlphaFormat::afIgnored;
    SetPixels(img.Width, img.Height, std::move(img.Pixels));
}

TBytes TBitmap::SaveToBuffer() const {
    return EncodeBmp(
        *this, FPixelFormat == TPixelFormat::pf32bit && FAlphaFormat != TAlphaFormat::afIgnored);
}

void TBitmap::LoadFromResourceName(const std::string& name) {
    const TGlyphResource* res = FindGlyphResource(name);
    if (!res) throw EInvalidGraphic("Resource \"" + name + "\" not found.");
    std::vector<TPixel> px(res->Pixels, res->Pixels + std::size_t(res->Width) * res->Height);
    FPixelFormat = TPixelFormat::pf24bit;
    FAlphaFormat = TAlphaFormat::afIgnored;
    SetPixels(res->Width, res->Height, std::move(px));
}

std::unique_ptr<TBitmap> LoadBitmapResource(const std::string& name) {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromResourceName(name);
    return b;
}

}  // namespace vel
