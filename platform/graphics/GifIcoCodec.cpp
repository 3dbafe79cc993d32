// GIF (giflib, first frame) and ICO (PNG or DIB entries).
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "platform/graphics/Codecs.h"
#include "platform/graphics/Errors.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

namespace {

struct GifInput {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Pos;
};

int GifRead(GifFileType* gif, GifByteType* out, int n) {
    auto* in = static_cast<GifInput*>(gif->UserData);
    const std::size_t take = std::min<std::size_t>(std::size_t(std::max(n, 0)), in->Size - in->Pos);
    std::memcpy(out, in->Data + in->Pos, take);
    in->Pos += take;
    return int(take);
}

int GifWrite(GifFileType* gif, const GifByteType* data, int n) {
    static_cast<TBytes*>(gif->UserData)
        ->insert(static_cast<TBytes*>(gif->UserData)->end(), data, data + n);
    return n;
}

// Closes the decoder whatever happens.
struct GifCloser {
    GifFileType* Gif;
    ~GifCloser() {
        int err;
        if (Gif) DGifCloseFile(Gif, &err);
    }
};

[[noreturn]] void GifBad(const std::string& why) {
    throw EInvalidGraphic("GIF image is not valid: " + why + ".");
}

std::string GifReason(int code) {
    const char* s = GifErrorString(code);
    return s ? s : "error " + std::to_string(code);
}

}  // namespace

TDecodedImage DecodeGif(const std::uint8_t* data, std::size_t size) {
    if (size < 6 || std::memcmp(data, "GIF8", 4) != 0) GifBad("the signature is missing");
    GifInput in{data, size, 0};
    int err = 0;
    GifFileType* gif = DGifOpen(&in, GifRead, &err);
    if (!gif) GifBad(GifReason(err));
    GifCloser closer{gif};
    const int sw = gif->SWidth, sh = gif->SHeight;
    if (sw <= 0 || sh <= 0 || (long long)sw * sh > kMaxImagePixels)
        GifBad("screen size " + std::to_string(sw) + "x" + std::to_string(sh) + " is out of range");
    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) GifBad(GifReason(gif->Error));
        if (type == TERMINATE_RECORD_TYPE) GifBad("it holds no image");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) GifBad(GifReason(gif->Error));
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK)
                    transparent = gcb.TransparentColor;
            }
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) GifBad(GifReason(gif->Error));
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR) GifBad(GifReason(gif->Error));
        const GifImageDesc& d = gif->Image;
        if (d.Width <= 0 || d.Height <= 0 || (long long)d.Width * d.Height > kMaxImagePixels)
            GifBad("frame size " + std::to_string(d.Width) + "x" + std::to_string(d.Height) +
                   " is out of range");
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (!map || map->ColorCount <= 0) GifBad("it has no colour table");
        TDecodedImage img;
        img.Width = sw;
        img.Height = sh;
        img.Format = TPixelFormat::pf8bit;
        img.HasAlpha = true;  // what the frame does not cover is transparent
        img.Pixels.assign(std::size_t(sw) * sh, 0);
        std::vector<GifPixelType> line(static_cast<std::size_t>(d.Width));
        // Interlaced frames deliver rows in four passes.
        std::vector<int> order;
        if (d.Interlace) {
            const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int y = starts[p]; y < d.Height; y += steps[p]) order.push_back(y);
        } else {
            for (int y = 0; y < d.Height; ++y) order.push_back(y);
        }
        for (int y : order) {
            if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) GifBad(GifReason(gif->Error));
            const int ty = d.Top + y;
            if (ty < 0 || ty >= sh) continue;
            TPixel* row = img.Pixels.data() + std::size_t(ty) * sw;
            for (int x = 0; x < d.Width; ++x) {
                const int tx = d.Left + x;
                if (tx < 0 || tx >= sw) continue;
                const int index = line[std::size_t(x)];
                if (index == transparent) continue;
                if (index >= map->ColorCount)
                    GifBad("colour index " + std::to_string(index) + " is outside the table");
                const GifColorType& c = map->Colors[index];
                row[tx] = 0xFF000000u | TPixel(c.Red) << 16 | TPixel(c.Green) << 8 | c.Blue;
            }
        }
        return img;
    }
}

TBytes EncodeGif(const TBitmap& bmp) {
    if (bmp.GetEmpty()) throw EInvalidGraphicOperation("An empty picture cannot be saved as GIF.");
    const int w = bmp.GetWidth(), h = bmp.GetHeight();
    // Exact palette when the picture has few colours, else a 6x6x6 cube.
    std::map<TPixel, int> colors;
    bool transparentUsed = false;
    for (int y = 0; y < h && colors.size() <= 255; ++y)
        for (int x = 0; x < w; ++x) {
            const TPixel p = bmp.ScanLine(y)[x];
            if ((p >> 24) == 0 && bmp.GetAlphaFormat() != TAlphaFormat::afIgnored)
                transparentUsed = true;
            else
                colors.emplace(p & 0xFFFFFF, 0);
        }
    const bool exact = colors.size() + (transparentUsed ? 1 : 0) <= 256;
    std::vector<GifColorType> palette;
    if (exact) {
        for (auto& [c, idx] : colors) {
            idx = int(palette.size());
            palette.push_back({GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)});
        }
    } else {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    palette.push_back(
                        {GifByteType(r * 51), GifByteType(g * 51), GifByteType(b * 51)});
    }
    const int transparentIndex = transparentUsed ? int(palette.size()) : -1;
    if (transparentUsed) palette.push_back({0, 0, 0});
    int bits = 1;
    while ((1 << bits) < int(palette.size())) ++bits;
    palette.resize(std::size_t(1) << bits, GifColorType{0, 0, 0});

    TBytes out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, GifWrite, &err);
    if (!gif)
        throw EInvalidGraphicOperation("GIF encoder could not be created: " + GifReason(err) + ".");
    ColorMapObject* map = GifMakeMapObject(1 << bits, palette.data());
    auto fail = [&](const std::string& why) {
        GifFreeMapObject(map);
        EGifCloseFile(gif, &err);
        throw EInvalidGraphicOperation("GIF image could not be written: " + why + ".");
    };
    EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, w, h, bits, 0, map) == GIF_ERROR) fail(GifReason(gif->Error));
    if (transparentUsed) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.TransparentColor = transparentIndex;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_ERROR)
            fail(GifReason(gif->Error));
    }
    if (EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_ERROR) fail(GifReason(gif->Error));
    std::vector<GifPixelType> line(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const TPixel p = bmp.ScanLine(y)[x];
            if (transparentUsed && (p >> 24) == 0)
                line[std::size_t(x)] = GifPixelType(transparentIndex);
            else if (exact)
                line[std::size_t(x)] = GifPixelType(colors[p & 0xFFFFFF]);
            else {
                auto q = [](unsigned v) { return (v + 25) / 51; };
                line[std::size_t(x)] =
                    GifPixelType(q((p >> 16) & 0xFF) * 36 + q((p >> 8) & 0xFF) * 6 + q(p & 0xFF));
            }
        }
        if (EGifPutLine(gif, line.data(), w) == GIF_ERROR) fail(GifReason(gif->Error));
    }
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &err) == GIF_ERROR)
        throw EInvalidGraphicOperation("GIF image could not be written: " + GifReason(err) + ".");
    return out;
}

namespace {
[[noreturn]] void IcoBad(const std::string& why) {
    throw EInvalidGraphic("Icon image is not valid: " + why + ".");
}
unsigned U16(const std::uint8_t* p) {
    return unsigned(p[0] | p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
}  // namespace

TDecodedImage DecodeIco(const std::uint8_t* data, std::size_t size) {
    if (size < 6 || U16(data) != 0 || (U16(data + 2) != 1 && U16(data + 2) != 2))
        IcoBad("the icon header is missing");
    const unsigned count = U16(data + 4);
    if (count == 0) IcoBad("it holds no image");
    if (6 + std::size_t(count) * 16 > size) IcoBad("the directory is cut short");
    // The largest entry, the deepest among equals.
    int best = -1;
    long long bestArea = -1;
    unsigned bestBpp = 0;
    for (unsigned i = 0; i < count; ++i) {
        const std::uint8_t* e = data + 6 + i * 16;
        const long long w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
        const unsigned bpp = U16(e + 6);
        if (w * h > bestArea || (w * h == bestArea && bpp > bestBpp))
            best = int(i), bestArea = w * h, bestBpp = bpp;
    }
    const std::uint8_t* e = data + 6 + std::size_t(best) * 16;
    const std::uint32_t len = U32(e + 8), off = U32(e + 12);
    if (off >= size || len > size - off || len < 8)
        IcoBad("image " + std::to_string(best) + " lies outside the file");
    const std::uint8_t* img = data + off;
    TDecodedImage out;
    if (len >= 8 && std::memcmp(img, "\x89PNG", 4) == 0)
        out = DecodePng(img, len);
    else
        out = DecodeDib(img, len, true);
    out.HasAlpha = true;
    return out;
}

TBytes EncodeIco(const TBitmap& bmp) {
    if (bmp.GetEmpty() || bmp.GetWidth() > 256 || bmp.GetHeight() > 256)
        throw EInvalidGraphicOperation("An icon must be between 1x1 and 256x256 pixels.");
    const TBytes png = EncodePng(bmp, true);
    TBytes out = {0, 0, 1, 0, 1, 0};
    auto put16 = [&](unsigned v) {
        out.push_back(std::uint8_t(v)), out.push_back(std::uint8_t(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
    out.push_back(std::uint8_t(bmp.GetWidth() & 0xFF));
    out.push_back(std::uint8_t(bmp.GetHeight() & 0xFF));
    out.push_back(0), out.push_back(0);
    put16(1), put16(32);
    put32(std::uint32_t(png.size()));
    put32(22);
    out.insert(out.end(), png.begin(), png.end());
    return out;
}

}  // namespace vel
