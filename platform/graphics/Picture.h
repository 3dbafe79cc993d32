#pragma once
// Picture formats beside TBitmap, and TPicture, which loads any of them by content.
#include <memory>
#include <string_view>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Codecs.h"
#include "platform/graphics/Errors.h"

namespace vel {

// A decoded picture kept as a 32-bit bitmap plus the bytes it came from (saving a picture
// that was loaded writes those bytes back unchanged).
class TDecodedGraphic : public TGraphic {
    VEL_CLASS(TDecodedGraphic)
public:
    int GetWidth() const override { return FImage.GetWidth(); }
    int GetHeight() const override { return FImage.GetHeight(); }
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    void LoadFromBuffer(const std::uint8_t* data, std::size_t size) override;
    using TGraphic::LoadFromBuffer;
    TBytes SaveToBuffer() const override;
    void Assign(const TPersistent* source) override;
    // The decoded pixels (alpha kept for formats that have it).
    const TBitmap& Image() const { return FImage; }
    // Takes pixels to encode (the original bytes are dropped).
    void SetImage(const TBitmap& image);

protected:
    virtual TDecodedImage Decode(const std::uint8_t* data, std::size_t size) const = 0;
    virtual TBytes Encode(const TBitmap& image) const;

private:
    TBitmap FImage;
    TBytes FData;
};

class TPngImage : public TDecodedGraphic {
    VEL_CLASS(TPngImage)
protected:
    TDecodedImage Decode(const std::uint8_t* data, std::size_t size) const override;
    TBytes Encode(const TBitmap& image) const override;
};

class TJPEGImage : public TDecodedGraphic {
    VEL_CLASS(TJPEGImage)
public:
    int GetCompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int v) { FQuality = v; }

protected:
    TDecodedImage Decode(const std::uint8_t* data, std::size_t size) const override;
    TBytes Encode(const TBitmap& image) const override;

private:
    int FQuality = 90;
};

class TGIFImage : public TDecodedGraphic {
    VEL_CLASS(TGIFImage)
protected:
    TDecodedImage Decode(const std::uint8_t* data, std::size_t size) const override;
    TBytes Encode(const TBitmap& image) const override;
};

class TIcon : public TDecodedGraphic {
    VEL_CLASS(TIcon)
protected:
    TDecodedImage Decode(const std::uint8_t* data, std::size_t size) const override;
    TBytes Encode(const TBitmap& image) const override;
};

// Placeable metafiles are recognised and kept, and drawn as a framed placeholder of their
// size; their records are not played.
class TMetafile : public TGraphic {
    VEL_CLASS(TMetafile)
public:
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    void LoadFromBuffer(const std::uint8_t* data, std::size_t size) override;
    using TGraphic::LoadFromBuffer;
    TBytes SaveToBuffer() const override;

private:
    int FWidth = 0;
    int FHeight = 0;
    TBytes FData;
};

// The class of picture the bytes hold, by their first bytes; null when none is known.
const TClassInfo* GraphicClassOf(const std::uint8_t* data, std::size_t size);

// Graphic classes by name, for pictures read back from a form. The library's formats are
// registered from the start; registering a class again replaces its factory.
using TGraphicFactory = std::unique_ptr<TGraphic> (*)();
void RegisterGraphicClass(const TClassInfo* cls, TGraphicFactory factory);
// Null for a name no graphic class is registered under (case-insensitive).
const TClassInfo* FindGraphicClass(std::string_view name);
// Null for a class that is not registered.
std::unique_ptr<TGraphic> CreateGraphic(const TClassInfo* cls);

class TPicture : public TPersistent {
    VEL_CLASS(TPicture)
public:
    TPicture();
    ~TPicture() override;
    void Assign(const TPersistent* source) override;

    TGraphic* GetGraphic() const { return FGraphic.get(); }
    // Copies the graphic (null clears).
    void SetGraphic(const TGraphic* graphic);
    // The graphic as a bitmap: the bitmap itself, or a new one that replaces the graphic.
    TBitmap& GetBitmap();
    int GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
    int GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

    // By content; unknown or damaged data raises EInvalidGraphic and keeps the old picture.
    void LoadFromBuffer(const std::uint8_t* data, std::size_t size);
    void LoadFromBuffer(const TBytes& data) { LoadFromBuffer(data.data(), data.size()); }
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const std::string& fileName) const;

    // Form data "Data": the graphic's class name, length-prefixed in one byte, then the
    // graphic's own bytes. Damaged data or an unknown class raises EInvalidGraphic and keeps
    // the picture as it was.
    void DefineProperties(TFiler& filer) override;
    TBytes GetData() const;
    void SetData(const TBytes& data);

    const TNotifyEvent& GetOnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

protected:
    virtual void Changed();

private:
    std::unique_ptr<TGraphic> FGraphic;
    TNotifyEvent FOnChange;
};

}  // namespace vel
