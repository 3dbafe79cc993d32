#include "graphics/Picture.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "graphics/Canvas.h"
#include "graphics/Codecs.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"

namespace vel {

VEL_DEFINE_CLASS(TDecodedGraphic, TGraphic)
VEL_DEFINE_CLASS(TPngImage, TDecodedGraphic)
VEL_DEFINE_CLASS(TJPEGImage, TDecodedGraphic)
VEL_DEFINE_CLASS(TGIFImage, TDecodedGraphic)
VEL_DEFINE_CLASS(TIcon, TDecodedGraphic)
VEL_DEFINE_CLASS(TMetafile, TGraphic)
VEL_DEFINE_CLASS(TPicture, TPersistent)

void TDecodedGraphic::Draw(TCanvas& canvas, const TRect& rect) const {
    BlitBitmap(canvas, rect, FImage, {0, 0, FImage.GetWidth(), FImage.GetHeight()},
               FImage.GetAlphaFormat() != TAlphaFormat::afIgnored ? TBlitMode::bmAlpha
                                                                  : TBlitMode::bmCopy);
}

void TDecodedGraphic::LoadFromBuffer(const std::uint8_t* data, std::size_t size) {
    TDecodedImage img = Decode(data, size);  // raises before anything changes
    FImage.SetAlphaFormat(img.HasAlpha ? TAlphaFormat::afDefined : TAlphaFormat::afIgnored);
    FImage.SetPixelFormat(img.Format);
    FImage.SetPixels(img.Width, img.Height, std::move(img.Pixels));
    FData.assign(data, data + size);
    FTransparent = img.HasAlpha;
    Changed();
}

TBytes TDecodedGraphic::SaveToBuffer() const {
    if (!FData.empty()) return FData;
    return Encode(FImage);
}

TBytes TDecodedGraphic::Encode(const TBitmap&) const {
    return TGraphic::SaveToBuffer();
}

void TDecodedGraphic::SetImage(const TBitmap& image) {
    FImage = image;
    FData.clear();
    Changed();
}

void TDecodedGraphic::Assign(const TPersistent* source) {
    if (auto* g = dynamic_cast<const TDecodedGraphic*>(source);
        g && g->ClassType() == ClassType()) {
        FImage = g->FImage;
        FData = g->FData;
        FTransparent = g->FTransparent;
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<const TBitmap*>(source)) {
        SetImage(*b);
        return;
    }
    TGraphic::Assign(source);
}

TDecodedImage TPngImage::Decode(const std::uint8_t* d, std::size_t n) const {
    return DecodePng(d, n);
}
TBytes TPngImage::Encode(const TBitmap& b) const {
    return EncodePng(b, b.GetAlphaFormat() != TAlphaFormat::afIgnored);
}
TDecodedImage TJPEGImage::Decode(const std::uint8_t* d, std::size_t n) const {
    return DecodeJpeg(d, n);
}
TBytes TJPEGImage::Encode(const TBitmap& b) const {
    return EncodeJpeg(b, FQuality);
}
TDecodedImage TGIFImage::Decode(const std::uint8_t* d, std::size_t n) const {
    return DecodeGif(d, n);
}
TBytes TGIFImage::Encode(const TBitmap& b) const {
    return EncodeGif(b);
}
TDecodedImage TIcon::Decode(const std::uint8_t* d, std::size_t n) const {
    return DecodeIco(d, n);
}
TBytes TIcon::Encode(const TBitmap& b) const {
    return EncodeIco(b);
}

void TMetafile::LoadFromBuffer(const std::uint8_t* data, std::size_t size) {
    if (size < 22 || std::memcmp(data, "\xD7\xCD\xC6\x9A", 4) != 0)
        throw EInvalidGraphic("Metafile is not valid: the placeable header is missing.");
    auto i16 = [&](std::size_t at) { return int(std::int16_t(data[at] | data[at + 1] << 8)); };
    const int left = i16(6), top = i16(8), right = i16(10), bottom = i16(12);
    const int inch = int(data[14] | data[15] << 8);
    // The header's checksum is the XOR of its first ten words.
    unsigned sum = 0;
    for (std::size_t k = 0; k < 20; k += 2) sum ^= unsigned(data[k] | data[k + 1] << 8);
    if (inch == 0 || sum != unsigned(data[20] | data[21] << 8))
        throw EInvalidGraphic("Metafile is not valid: the header checksum does not match.");
    const long long w = (long long)std::abs(right - left) * 96 / inch;
    const long long h = (long long)std::abs(bottom - top) * 96 / inch;
    if (w * h > kMaxImagePixels)
        throw EInvalidGraphic("Metafile is not valid: size " + std::to_string(w) + "x" +
                              std::to_string(h) + " is out of range.");
    FWidth = int(w);
    FHeight = int(h);
    FData.assign(data, data + size);
    Changed();
}

TBytes TMetafile::SaveToBuffer() const {
    if (FData.empty()) return TGraphic::SaveToBuffer();
    return FData;
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) const {
    if (rect.IsEmpty()) return;
    canvas.FillRectColor(rect, clWindow);
    canvas.FillRectColor({rect.Left, rect.Top, rect.Right, rect.Top + 1}, clBtnShadow);
    canvas.FillRectColor({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, clBtnShadow);
    canvas.FillRectColor({rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, clBtnShadow);
    canvas.FillRectColor({rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, clBtnShadow);
    // A cross marks the picture that is not rendered.
    TPen saved;
    saved.Assign(&canvas.Pen());
    canvas.Pen().SetColor(clBtnShadow);
    canvas.Pen().SetStyle(TPenStyle::psSolid);
    canvas.MoveTo(rect.Left, rect.Top);
    canvas.LineTo(rect.Right - 1, rect.Bottom - 1);
    canvas.MoveTo(rect.Right - 1, rect.Top);
    canvas.LineTo(rect.Left, rect.Bottom - 1);
    canvas.Pen().Assign(&saved);
}

const TClassInfo* GraphicClassOf(const std::uint8_t* d, std::size_t n) {
    if (n >= 2 && d[0] == 'B' && d[1] == 'M') return TBitmap::StaticClass();
    if (n < 4) return nullptr;
    if (std::memcmp(d, "GIF8", 4) == 0) return TGIFImage::StaticClass();
    if (std::memcmp(d, "\x89PNG", 4) == 0) return TPngImage::StaticClass();
    if (d[0] == 0 && d[1] == 0 && d[2] == 1 && d[3] == 0) return TIcon::StaticClass();
    if (std::memcmp(d, "\xD7\xCD\xC6\x9A", 4) == 0) return TMetafile::StaticClass();
    if (d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return TJPEGImage::StaticClass();
    return nullptr;
}

std::unique_ptr<TGraphic> CreateGraphic(const TClassInfo* cls) {
    if (cls == TBitmap::StaticClass()) return std::make_unique<TBitmap>();
    if (cls == TPngImage::StaticClass()) return std::make_unique<TPngImage>();
    if (cls == TJPEGImage::StaticClass()) return std::make_unique<TJPEGImage>();
    if (cls == TGIFImage::StaticClass()) return std::make_unique<TGIFImage>();
    if (cls == TIcon::StaticClass()) return std::make_unique<TIcon>();
    if (cls == TMetafile::StaticClass()) return std::make_unique<TMetafile>();
    return nullptr;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
    if (FOnChange) FOnChange(this);
}

void TPicture::SetGraphic(const TGraphic* graphic) {
    if (!graphic) {
        FGraphic.reset();
        Changed();
        return;
    }
    auto copy = CreateGraphic(graphic->ClassType());
    if (!copy) copy = std::make_unique<TBitmap>();
    copy->Assign(graphic);
    FGraphic = std::move(copy);
    Changed();
}

void TPicture::Assign(const TPersistent* source) {
    if (!source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<const TPicture*>(source)) {
        SetGraphic(p->FGraphic.get());
        return;
    }
    if (auto* g = dynamic_cast<const TGraphic*>(source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(source);
}

TBitmap& TPicture::GetBitmap() {
    if (auto* b = dynamic_cast<TBitmap*>(FGraphic.get())) return *b;
    auto bmp = std::make_unique<TBitmap>();
    if (FGraphic) bmp->Assign(FGraphic.get());
    FGraphic = std::move(bmp);
    Changed();
    return static_cast<TBitmap&>(*FGraphic);
}

void TPicture::LoadFromBuffer(const std::uint8_t* data, std::size_t size) {
    const TClassInfo* cls = GraphicClassOf(data, size);
    if (!cls) throw EInvalidGraphic("Unknown picture format.");
    auto g = CreateGraphic(cls);
    g->LoadFromBuffer(data, size);
    FGraphic = std::move(g);
    Changed();
}

void TPicture::LoadFromStream(TStream& stream) {
    const std::string data = stream.ReadToEnd();
    LoadFromBuffer(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

void TPicture::LoadFromFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFOpenError("Cannot open file \"" + fileName + "\".");
    TBytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LoadFromBuffer(data.data(), data.size());
}

void TPicture::SaveToStream(TStream& stream) const {
    if (FGraphic) FGraphic->SaveToStream(stream);
}

void TPicture::SaveToFile(const std::string& fileName) const {
    if (!FGraphic) throw EInvalidGraphicOperation("An empty picture cannot be saved.");
    FGraphic->SaveToFile(fileName);
}

}  // namespace vel
