// BMP and DIB: 1, 4, 8, 16, 24 and 32 bits, bit fields, RLE4/RLE8 read; 24/32-bit write.
#include <cstring>
#include <string>

#include "platform/graphics/Codecs.h"
#include "platform/graphics/Errors.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

namespace {

[[noreturn]] void Bad(const std::string& why) {
    throw EInvalidGraphic("Bitmap image is not valid: " + why + ".");
}

struct Reader {
    const std::uint8_t* Data;
    std::size_t Size;
    std::uint32_t U32(std::size_t at) const {
        if (at + 4 > Size) Bad("unexpected end of data");
        return std::uint32_t(Data[at]) | std::uint32_t(Data[at + 1]) << 8 |
               std::uint32_t(Data[at + 2]) << 16 | std::uint32_t(Data[at + 3]) << 24;
    }
    std::uint16_t U16(std::size_t at) const {
        if (at + 2 > Size) Bad("unexpected end of data");
        return std::uint16_t(Data[at] | Data[at + 1] << 8);
    }
    std::int32_t I32(std::size_t at) const { return std::int32_t(U32(at)); }
};

int Shift(std::uint32_t mask) {
    if (!mask) return 0;
    int s = 0;
    while (!(mask & 1)) mask >>= 1, ++s;
    return s;
}
int Bits(std::uint32_t mask) {
    mask >>= Shift(mask);
    int b = 0;
    while (mask & 1) mask >>= 1, ++b;
    return b;
}
unsigned Channel(std::uint32_t v, std::uint32_t mask) {
    if (!mask) return 0;
    const int bits = Bits(mask);
    const unsigned x = (v & mask) >> Shift(mask);
    if (bits >= 8) return x >> (bits - 8);
    return bits == 0 ? 0 : (x * 255u) / ((1u << bits) - 1u);
}

// Decodes the DIB whose header starts at `header`; pixel bits at `bits` (or right after the
// palette when bits is 0).
TDecodedImage DecodeAt(const Reader& rd, std::size_t header, std::size_t bits, bool iconMask) {
    const std::uint32_t hsize = rd.U32(header);
    int width, height, bpp;
    std::uint32_t compression = 0, clrUsed = 0;
    std::uint32_t rMask = 0, gMask = 0, bMask = 0, aMask = 0;
    bool core = false;
    if (hsize == 12) {
        core = true;
        width = rd.U16(header + 4);
        height = std::int16_t(rd.U16(header + 6));
        bpp = rd.U16(header + 10);
    } else if (hsize >= 40 && hsize <= 124) {
        width = rd.I32(header + 4);
        height = rd.I32(header + 8);
        bpp = rd.U16(header + 14);
        compression = rd.U32(header + 16);
        clrUsed = rd.U32(header + 32);
        if (hsize >= 52) {
            rMask = rd.U32(header + 40), gMask = rd.U32(header + 44), bMask = rd.U32(header + 48);
        }
        if (hsize >= 56) aMask = rd.U32(header + 52);
    } else {
        Bad("header size " + std::to_string(hsize) + " is unknown");
    }
    // The height is negated (top-down rows) in 64 bits: -INT32_MIN does not fit an int.
    long long rows = height;
    if (iconMask) rows /= 2;
    const bool topDown = rows < 0;
    if (topDown) rows = -rows;
    if (width <= 0 || rows <= 0 || rows > kMaxImagePixels ||
        (long long)width * rows > kMaxImagePixels)
        Bad("size " + std::to_string(width) + "x" + std::to_string(rows) + " is out of range");
    height = int(rows);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        Bad(std::to_string(bpp) + " bits per pixel are not supported");
    if (compression > 3 || (compression == 1 && bpp != 8) || (compression == 2 && bpp != 4) ||
        (compression == 3 && bpp != 16 && bpp != 32) ||
        (topDown && (compression == 1 || compression == 2)))
        Bad("compression " + std::to_string(compression) + " does not fit " + std::to_string(bpp) +
            " bits");
    std::size_t pos = header + hsize;
    if (compression == 3 && hsize == 40) {
        rMask = rd.U32(pos), gMask = rd.U32(pos + 4), bMask = rd.U32(pos + 8);
        pos += 12;
    }
    std::vector<TPixel> palette;
    if (bpp <= 8) {
        std::size_t count = clrUsed ? clrUsed : (1u << bpp);
        if (count > 256) Bad("palette of " + std::to_string(count) + " colours is too large");
        const std::size_t entry = core ? 3 : 4;
        if (pos + count * entry > rd.Size) Bad("palette is cut short");
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* e = rd.Data + pos + i * entry;
            palette.push_back(0xFF000000u | TPixel(e[2]) << 16 | TPixel(e[1]) << 8 | e[0]);
        }
        pos += count * entry;
        palette.resize(256, 0xFF000000u);
    }
    if (bits == 0) bits = pos;
    if (bits > rd.Size) Bad("pixel data lies beyond the end");
    if (compression == 0 && bpp == 16) rMask = 0x7C00, gMask = 0x03E0, bMask = 0x001F;
    if (compression == 0 && bpp == 32)
        rMask = 0xFF0000, gMask = 0xFF00, bMask = 0xFF, aMask = 0xFF000000;

    const std::size_t stride = ((std::size_t(width) * bpp + 31) / 32) * 4;
    const bool rle = compression == 1 || compression == 2;
    // Checked before allocating, so a damaged size cannot ask for a huge picture.
    if (!rle && bits + stride * height > rd.Size) Bad("pixel data is cut short");
    // Each RLE byte moves down at most 64 rows (a delta of 255 rows costs four bytes).
    if (rle && std::size_t(height) > (rd.Size - bits) * 64 + 1)
        Bad("RLE data is too short for the size");

    TDecodedImage img;
    img.Width = width;
    img.Height = height;
    img.Pixels.assign(std::size_t(width) * height, 0xFF000000u);
    img.Format = bpp == 1    ? TPixelFormat::pf1bit
                 : bpp == 4  ? TPixelFormat::pf4bit
                 : bpp == 8  ? TPixelFormat::pf8bit
                 : bpp == 16 ? TPixelFormat::pf16bit
                 : bpp == 24 ? TPixelFormat::pf24bit
                             : TPixelFormat::pf32bit;
    auto at = [&](int x, int y) -> TPixel& {
        const int row = topDown ? y : height - 1 - y;
        return img.Pixels[std::size_t(row) * width + x];
    };

    if (rle) {
        // Run-length encoded; rows bottom-up, skipped pixels stay index 0.
        for (auto& p : img.Pixels) p = palette[0];
        int x = 0, y = 0;
        std::size_t p = bits;
        auto byte = [&]() -> unsigned {
            if (p >= rd.Size) Bad("RLE data is cut short");
            return rd.Data[p++];
        };
        auto put = [&](unsigned index) {
            if (x < width && y < height) at(x, y) = palette[index];
            ++x;
        };
        for (;;) {
            const unsigned n = byte(), v = byte();
            if (n > 0) {
                for (unsigned i = 0; i < n; ++i)
                    put(compression == 1 ? v : ((i & 1) ? v & 0xF : v >> 4));
            } else if (v == 0) {
                x = 0, ++y;
            } else if (v == 1) {
                break;
            } else if (v == 2) {
                x += int(byte());
                y += int(byte());
            } else {
                const unsigned nbytes = compression == 1 ? v : (v + 1) / 2;
                unsigned cur = 0;
                for (unsigned i = 0; i < v; ++i) {
                    if (compression == 1) {
                        put(byte());
                    } else {
                        if (i % 2 == 0) cur = byte();
                        put((i & 1) ? cur & 0xF : cur >> 4);
                    }
                }
                if (nbytes & 1) byte();  // runs are word aligned
            }
            if (y >= height) break;
        }
        return img;
    }

    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row =
            rd.Data + bits + stride * std::size_t(topDown ? y : height - 1 - y);
        TPixel* out = img.Pixels.data() + std::size_t(y) * width;
        switch (bpp) {
            case 1:
                for (int x = 0; x < width; ++x)
                    out[x] = palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                for (int x = 0; x < width; ++x)
                    out[x] = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
                break;
            case 8:
                for (int x = 0; x < width; ++x) out[x] = palette[row[x]];
                break;
            case 24:
                for (int x = 0; x < width; ++x)
                    out[x] = 0xFF000000u | TPixel(row[3 * x + 2]) << 16 |
                             TPixel(row[3 * x + 1]) << 8 | row[3 * x];
                break;
            default: {
                const int step = bpp / 8;
                for (int x = 0; x < width; ++x) {
                    std::uint32_t v = row[step * x] | std::uint32_t(row[step * x + 1]) << 8;
                    if (step == 4)
                        v |= std::uint32_t(row[4 * x + 2]) << 16 | std::uint32_t(row[4 * x + 3])
                                                                       << 24;
                    const unsigned a = aMask ? Channel(v, aMask) : 255;
                    if (aMask && a != 0) anyAlpha = true;
                    out[x] = TPixel(a) << 24 | Channel(v, rMask) << 16 | Channel(v, gMask) << 8 |
                             Channel(v, bMask);
                }
            }
        }
    }
    // 32-bit data with an all-zero alpha channel is plain colour, unless the header names
    // an alpha mask explicitly.
    const bool explicitAlpha = hsize >= 56 && aMask != 0 && compression == 3;
    if (bpp == 32 && aMask) {
        if (anyAlpha || explicitAlpha)
            img.HasAlpha = true;
        else
            for (auto& px : img.Pixels) px |= 0xFF000000u;
    }
    if (iconMask) {
        const std::size_t maskStride = ((std::size_t(width) + 31) / 32) * 4;
        const std::size_t maskAt = bits + stride * height;
        const bool hasMask = maskAt + maskStride * height <= rd.Size;
        if (!img.HasAlpha && hasMask) {
            for (int y = 0; y < height; ++y) {
                const std::uint8_t* row =
                    rd.Data + maskAt + maskStride * std::size_t(height - 1 - y);
                for (int x = 0; x < width; ++x)
                    if ((row[x >> 3] >> (7 - (x & 7))) & 1)
                        img.Pixels[std::size_t(y) * width + x] &= 0x00FFFFFFu;
            }
            img.HasAlpha = true;
        }
    }
    return img;
}

void Put16(TBytes& b, unsigned v) {
    b.push_back(std::uint8_t(v)), b.push_back(std::uint8_t(v >> 8));
}
void Put32(TBytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF), Put16(b, v >> 16);
}

}  // namespace

TDecodedImage DecodeBmp(const std::uint8_t* data, std::size_t size) {
    Reader rd{data, size};
    if (size < 18 || data[0] != 'B' || data[1] != 'M') Bad("the signature \"BM\" is missing");
    const std::uint32_t off = rd.U32(10);
    return DecodeAt(rd, 14, off, false);
}

TDecodedImage DecodeDib(const std::uint8_t* data, std::size_t size, bool iconMask) {
    Reader rd{data, size};
    return DecodeAt(rd, 0, 0, iconMask);
}

TBytes EncodeBmp(const TBitmap& bmp, bool withAlpha) {
    const int w = bmp.GetWidth(), h = bmp.GetHeight();
    const int bpp = withAlpha ? 32 : 24;
    const std::uint32_t header = withAlpha ? 124 : 40;
    const std::size_t stride = ((std::size_t(w) * bpp + 31) / 32) * 4;
    const std::uint32_t off = 14 + header;
    TBytes b;
    b.reserve(off + stride * h);
    b.push_back('B'), b.push_back('M');
    Put32(b, std::uint32_t(off + stride * h));
    Put32(b, 0);
    Put32(b, off);
    Put32(b, header);
    Put32(b, std::uint32_t(w));
    Put32(b, std::uint32_t(h));
    Put16(b, 1);
    Put16(b, unsigned(bpp));
    Put32(b, withAlpha ? 3 : 0);  // bit fields carry the alpha mask
    Put32(b, std::uint32_t(stride * h));
    Put32(b, 3780), Put32(b, 3780);  // 96 DPI
    Put32(b, 0), Put32(b, 0);
    if (withAlpha) {
        Put32(b, 0x00FF0000), Put32(b, 0x0000FF00), Put32(b, 0x000000FF), Put32(b, 0xFF000000);
        Put32(b, 0x73524742);  // 'sRGB'
        b.resize(14 + header, 0);
    }
    for (int y = h - 1; y >= 0; --y) {
        const TPixel* row = bmp.ScanLine(y);
        const std::size_t start = b.size();
        for (int x = 0; x < w; ++x) {
            b.push_back(std::uint8_t(row[x])), b.push_back(std::uint8_t(row[x] >> 8)),
                b.push_back(std::uint8_t(row[x] >> 16));
            if (withAlpha) b.push_back(std::uint8_t(row[x] >> 24));
        }
        b.resize(start + stride, 0);
    }
    return b;
}

}  // namespace vel
