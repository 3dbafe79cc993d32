#pragma once
// Image codecs over byte buffers. Every decoder raises EInvalidGraphic on damaged or
// truncated data and never reads outside the buffer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Errors.h"

namespace vel {

struct TDecodedImage {
    int Width = 0;
    int Height = 0;
    std::vector<TPixel> Pixels;  // top-down rows
    bool HasAlpha = false;
    TPixelFormat Format = TPixelFormat::pf32bit;
};

// Pictures larger than this many pixels are refused as damaged (guards against absurd headers).
constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;

TDecodedImage DecodeBmp(const std::uint8_t* data, std::size_t size);
// A device-independent bitmap without file header (as stored in icons); with IconMask the
// height is doubled and an AND mask follows.
TDecodedImage DecodeDib(const std::uint8_t* data, std::size_t size, bool iconMask);
// 24-bit, or 32-bit with alpha kept.
TBytes EncodeBmp(const TBitmap& bitmap, bool withAlpha);

TDecodedImage DecodePng(const std::uint8_t* data, std::size_t size);
TBytes EncodePng(const TBitmap& bitmap, bool withAlpha);

TDecodedImage DecodeJpeg(const std::uint8_t* data, std::size_t size);
TBytes EncodeJpeg(const TBitmap& bitmap, int quality);

// First frame; the transparent index (if any) becomes alpha 0.
TDecodedImage DecodeGif(const std::uint8_t* data, std::size_t size);
// Palette built from the picture's colours (at most 256, else a fixed 6x6x6 cube); pixels
// with alpha 0 become the transparent index.
TBytes EncodeGif(const TBitmap& bitmap);

// The largest, deepest image of the icon.
TDecodedImage DecodeIco(const std::uint8_t* data, std::size_t size);
TBytes EncodeIco(const TBitmap& bitmap);

}  // namespace vel
