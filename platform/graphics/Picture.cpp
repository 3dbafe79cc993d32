#include "platform/graphics/Picture.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "platform/classes/Streaming.h"
#include "platform/classes/Streams.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Codecs.h"
#include "platform/graphics/Errors.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

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

namespace {

struct TGraphicClass {
    const TClassInfo* Class;
    TGraphicFactory Factory;
};

template <class G>
std::unique_ptr<TGraphic> Make() {
    return std::make_unique<G>();
}

std::vector<TGraphicClass>& GraphicClasses() {
    static std::vector<TGraphicClass> list{{TBitmap::StaticClass(), &Make<TBitmap>},
                                           {TPngImage::StaticClass(), &Make<TPngImage>},
                                           {TJPEGImage::StaticClass(), &Make<TJPEGImage>},
                                           {TGIFImage::StaticClass(), &Make<TGIFImage>},
                                           {TIcon::StaticClass(), &Make<TIcon>},
                                           {TMetafile::StaticClass(), &Make<TMetafile>}};
    return list;
}

// Class names read from data may hold anything; keep messages printable.
std::string PrintableName(std::string_view name) {
    std::string out;
    for (char c : name) out += static_cast<unsigned char>(c) >= 32 && c != 127 ? c : '?';
    return out;
}

}  // namespace

void RegisterGraphicClass(const TClassInfo* cls, TGraphicFactory factory) {
    if (!cls || !factory || !cls->InheritsFrom(TGraphic::StaticClass()))
        throw EInvalidArgument(std::string("Class ") + (cls ? cls->Name : "(nil)") +
                               " cannot be registered as a graphic class.");
    for (TGraphicClass& g : GraphicClasses())
        if (g.Class == cls) {
            g.Factory = factory;
            return;
        }
    GraphicClasses().push_back({cls, factory});
}

const TClassInfo* FindGraphicClass(std::string_view name) {
    for (const TGraphicClass& g : GraphicClasses())
        if (Utf8SameText(g.Class->Name, name)) return g.Class;
    return nullptr;
}

std::unique_ptr<TGraphic> CreateGraphic(const TClassInfo* cls) {
    for (const TGraphicClass& g : GraphicClasses())
        if (g.Class == cls) return g.Factory();
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

void TPicture::DefineProperties(TFiler& filer) {
    TPersistent::DefineProperties(filer);
    filer.DefineProperty(
        "Data", [this](TReader& r) { SetData(r.ReadBinary()); },
        [this](TWriter& w) {
            const TBytes data = GetData();
            w.WriteBinary(data.data(), data.size());
        },
        FGraphic && !FGraphic->GetEmpty());
}

TBytes TPicture::GetData() const {
    if (!FGraphic) return {};
    const std::string name = FGraphic->ClassName();
    const TBytes image = FGraphic->SaveToBuffer();
    TBytes data;
    data.reserve(1 + name.size() + image.size());
    data.push_back(static_cast<std::uint8_t>(name.size()));
    data.insert(data.end(), name.begin(), name.end());
    data.insert(data.end(), image.begin(), image.end());
    return data;
}

void TPicture::SetData(const TBytes& data) {
    if (data.empty()) throw EInvalidGraphic("Picture data is empty.");
    const std::size_t length = data[0];
    if (length == 0 || 1 + length > data.size())
        throw EInvalidGraphic("Picture data is damaged: the class name length " +
                              std::to_string(length) + " does not fit the " +
                              std::to_string(data.size()) + " bytes of data.");
    const std::string name(reinterpret_cast<const char*>(data.data()) + 1, length);
    const TClassInfo* cls = FindGraphicClass(name);
    if (!cls) throw EInvalidGraphic("Unknown graphic class '" + PrintableName(name) + "'.");
    if (1 + length == data.size())
        throw EInvalidGraphic("Picture data holds no " + name + " image after its class name.");
    auto g = CreateGraphic(cls);
    g->LoadFromBuffer(data.data() + 1 + length, data.size() - 1 - length);  // raises first
    FGraphic = std::move(g);
    Changed();
}

void TPicture::SaveToStream(TStream& stream) const {
    if (FGraphic) FGraphic->SaveToStream(stream);
}

void TPicture::SaveToFile(const std::string& fileName) const {
    if (!FGraphic) throw EInvalidGraphicOperation("An empty picture cannot be saved.");
    FGraphic->SaveToFile(fileName);
}

}  // namespace vel
