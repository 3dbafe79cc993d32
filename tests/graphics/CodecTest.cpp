#include <gtest/gtest.h>

#include <cstring>

#include "platform/classes/Streams.h"
#include "platform/graphics/Codecs.h"
#include "platform/graphics/Errors.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Exceptions.h"
#include "tests/graphics/GraphicsTestUtil.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace {

TBitmap Pattern(int w, int h, bool alpha) {
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned a = alpha ? unsigned((x * 37 + y * 11) % 256) : 255u;
            b.SetPixel(x, y,
                       a << 24 | unsigned(x * 9 % 256) << 16 | unsigned(y * 13 % 256) << 8 |
                           unsigned((x ^ y) & 0xFF));
        }
    if (alpha) b.SetAlphaFormat(TAlphaFormat::afDefined);
    return b;
}

// A few flat colours, as GIF and icons hold them.
TBitmap Flat(int w, int h) {
    TBitmap b(w, h);
    const TPixel colors[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 0xFF102030u};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, colors[(x / 3 + y / 2) % 5]);
    return b;
}

bool SameImage(const TDecodedImage& img, const TBitmap& b) {
    if (img.Width != b.GetWidth() || img.Height != b.GetHeight()) return false;
    return std::memcmp(img.Pixels.data(), b.Bits(), img.Pixels.size() * sizeof(TPixel)) == 0;
}

// Every prefix and a spread of single-byte corruptions must fail cleanly or decode.
template <typename Decode>
void Torture(const TBytes& good, Decode decode) {
    for (std::size_t n = 0; n < good.size(); n += std::max<std::size_t>(1, good.size() / 97)) {
        try {
            decode(good.data(), n);
        } catch (const EInvalidGraphic&) {
        }
    }
    for (std::size_t i = 0; i < good.size(); i += std::max<std::size_t>(1, good.size() / 61)) {
        for (std::uint8_t v :
             {std::uint8_t(0x00), std::uint8_t(0xFF), std::uint8_t(good[i] ^ 0x5A)}) {
            TBytes bad = good;
            bad[i] = v;
            try {
                decode(bad.data(), bad.size());
            } catch (const EInvalidGraphic&) {
            }
        }
    }
}

}  // namespace

TEST(Codecs, PngRoundTripIsPixelIdentical) {
    const TBitmap opaque = Pattern(37, 21, false);
    TDecodedImage back =
        DecodePng(EncodePng(opaque, false).data(), EncodePng(opaque, false).size());
    EXPECT_TRUE(SameImage(back, opaque));
    EXPECT_FALSE(back.HasAlpha);
    const TBitmap alpha = Pattern(16, 9, true);
    const TBytes png = EncodePng(alpha, true);
    back = DecodePng(png.data(), png.size());
    EXPECT_TRUE(SameImage(back, alpha));
    EXPECT_TRUE(back.HasAlpha);
}

TEST(Codecs, BmpRoundTripsAndClassicDepths) {
    const TBitmap opaque = Pattern(13, 7, false);  // odd width: row padding
    TBytes bmp = EncodeBmp(opaque, false);
    EXPECT_TRUE(SameImage(DecodeBmp(bmp.data(), bmp.size()), opaque));
    const TBitmap alpha = Pattern(5, 4, true);
    bmp = EncodeBmp(alpha, true);
    TDecodedImage a = DecodeBmp(bmp.data(), bmp.size());
    EXPECT_TRUE(SameImage(a, alpha));
    EXPECT_TRUE(a.HasAlpha);

    // An 8-bit palette image, 3x2, bottom-up, and the same as 4 and 1 bit.
    auto build = [](int bpp, std::vector<std::uint8_t> bits, std::uint32_t compression = 0) {
        const int colors = 1 << std::min(bpp, 8);
        TBytes b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
        const std::uint32_t off = 14 + 40 + 4 * colors;
        auto p32 = [&](std::uint32_t v) {
            for (int k = 0; k < 4; ++k) b.push_back(std::uint8_t(v >> (8 * k)));
        };
        auto p16 = [&](unsigned v) {
            b.push_back(std::uint8_t(v)), b.push_back(std::uint8_t(v >> 8));
        };
        p32(off);
        p32(40), p32(3), p32(2), p16(1), p16(unsigned(bpp)), p32(compression),
            p32(std::uint32_t(bits.size()));
        p32(0), p32(0), p32(0), p32(0);
        for (int i = 0; i < colors; ++i) p32(i == 1 ? 0x00FF0000u : i == 2 ? 0x0000FF00u : 0u);
        b.insert(b.end(), bits.begin(), bits.end());
        return b;
    };
    // Rows bottom-up: bottom row 1,2,0 ; top row 2,2,1.
    const TBytes b8 = build(8, {1, 2, 0, 0, 2, 2, 1, 0});
    TDecodedImage i8 = DecodeBmp(b8.data(), b8.size());
    ASSERT_EQ(i8.Width, 3);
    EXPECT_EQ(i8.Pixels[0], 0xFF00FF00u);  // top-left: index 2, green
    EXPECT_EQ(i8.Pixels[3], 0xFFFF0000u);  // bottom-left: index 1, red
    const TBytes b4 = build(4, {0x12, 0x00, 0, 0, 0x22, 0x10, 0, 0});
    EXPECT_EQ(DecodeBmp(b4.data(), b4.size()).Pixels, i8.Pixels);
    const TBytes b1 = build(1, {0x80, 0, 0, 0, 0x60, 0, 0, 0});
    TDecodedImage i1 = DecodeBmp(b1.data(), b1.size());
    EXPECT_EQ(i1.Pixels[0], 0xFF000000u);
    EXPECT_EQ(i1.Pixels[1], 0xFFFF0000u);
    EXPECT_EQ(i1.Pixels[3], 0xFFFF0000u);
    // RLE8: the same picture as runs and an absolute run.
    const TBytes rle = build(8, {1, 1, 1, 2, 0, 0, 0, 3, 2, 2, 1, 0, 0, 0, 1}, 1);
    TDecodedImage ir = DecodeBmp(rle.data(), rle.size());
    EXPECT_EQ(ir.Pixels[3], 0xFFFF0000u);
    EXPECT_EQ(ir.Pixels[4], 0xFF00FF00u);
    EXPECT_EQ(ir.Pixels[0], 0xFF00FF00u);
    EXPECT_EQ(ir.Pixels[2], 0xFFFF0000u);
    Torture(b8, DecodeBmp);
    Torture(rle, DecodeBmp);
    Torture(EncodeBmp(alpha, true), DecodeBmp);
    EXPECT_THROW(DecodeBmp(b8.data(), 30), EInvalidGraphic);
}

// The height's sign says top-down; the most negative height has no positive counterpart.
TEST(Codecs, BmpHeightSignAndExtremes) {
    const TBitmap opaque = Pattern(4, 3, false);
    const TBytes good = EncodeBmp(opaque, false);
    auto withHeight = [&](std::uint32_t h) {
        TBytes b = good;
        for (int k = 0; k < 4; ++k) b[22 + k] = std::uint8_t(h >> (8 * k));
        return b;
    };
    // Top-down: the same rows read in the other order.
    const TBytes down = withHeight(std::uint32_t(-3));
    const TDecodedImage d = DecodeBmp(down.data(), down.size());
    ASSERT_EQ(d.Height, 3);
    EXPECT_EQ(d.Pixels[0], opaque.GetPixel(0, 2));
    for (std::uint32_t h : {0x80000000u, 0x80000001u, 0x7FFFFFFFu, 0u}) {
        const TBytes bad = withHeight(h);
        try {
            DecodeBmp(bad.data(), bad.size());
            ADD_FAILURE() << "height " << std::int32_t(h) << " decoded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(std::string(e.what()).find("out of range"), std::string::npos) << e.what();
        }
    }
}

TEST(Codecs, JpegDecodesCloseToTheOriginal) {
    TBitmap smooth(32, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            smooth.SetPixel(x, y,
                            0xFF000000u | unsigned(x * 8) << 16 | unsigned(y * 16) << 8 | 0x80u);
    const TBytes jpg = EncodeJpeg(smooth, 95);
    EXPECT_EQ(jpg[0], 0xFF);
    EXPECT_EQ(jpg[1], 0xD8);
    TDecodedImage img = DecodeJpeg(jpg.data(), jpg.size());
    ASSERT_EQ(img.Width, 32);
    ASSERT_EQ(img.Height, 16);
    int worst = 0;
    for (int i = 0; i < 32 * 16; ++i)
        for (int s = 0; s < 24; s += 8)
            worst = std::max(worst, std::abs(int((img.Pixels[std::size_t(i)] >> s) & 0xFF) -
                                             int((smooth.Bits()[i] >> s) & 0xFF)));
    EXPECT_LT(worst, 24);
    Torture(jpg, DecodeJpeg);
    // Cut in the middle of the scan: damaged, not silently grey.
    EXPECT_THROW(DecodeJpeg(jpg.data(), jpg.size() * 2 / 3), EInvalidGraphic);
}

TEST(Codecs, GifKeepsColoursAndTransparency) {
    TBitmap b = Flat(11, 7);
    b.SetAlphaFormat(TAlphaFormat::afDefined);
    b.SetPixel(0, 0, 0);  // transparent
    const TBytes gif = EncodeGif(b);
    TDecodedImage img = DecodeGif(gif.data(), gif.size());
    ASSERT_EQ(img.Width, 11);
    EXPECT_EQ(img.Pixels[0] >> 24, 0u);
    for (int i = 1; i < 77; ++i) EXPECT_EQ(img.Pixels[std::size_t(i)], b.Bits()[i]) << i;
    Torture(gif, DecodeGif);
    EXPECT_THROW(DecodeGif(gif.data(), gif.size() / 2), EInvalidGraphic);
    // Many colours go through the colour cube.
    const TBitmap many = Pattern(20, 20, false);
    const TBytes g2 = EncodeGif(many);
    TDecodedImage i2 = DecodeGif(g2.data(), g2.size());
    EXPECT_NEAR(int((i2.Pixels[45] >> 16) & 0xFF), int((many.Bits()[45] >> 16) & 0xFF), 26);
}

TEST(Codecs, IconsWithPngAndBitmapEntries) {
    TBitmap b = Pattern(16, 16, true);
    const TBytes ico = EncodeIco(b);
    EXPECT_TRUE(SameImage(DecodeIco(ico.data(), ico.size()), b));
    // A classic entry: 24-bit DIB with doubled height and an AND mask.
    const TBitmap flat = Flat(4, 4);
    TBytes dib = EncodeBmp(flat, false);
    dib.erase(dib.begin(), dib.begin() + 14);
    dib[8] = 8;  // height 4 -> 8 (image + mask)
    for (int row = 0; row < 4; ++row) {
        const bool top = row == 3;  // mask rows are bottom-up too
        dib.insert(dib.end(), {std::uint8_t(top ? 0x80 : 0), 0, 0, 0});
    }
    TBytes classic = {0, 0, 1, 0, 2, 0};
    auto entry = [&](int size, std::uint32_t len, std::uint32_t off) {
        classic.insert(classic.end(), {std::uint8_t(size), std::uint8_t(size), 0, 0, 1, 0, 24, 0});
        for (int k = 0; k < 4; ++k) classic.push_back(std::uint8_t(len >> (8 * k)));
        for (int k = 0; k < 4; ++k) classic.push_back(std::uint8_t(off >> (8 * k)));
    };
    entry(2, 0, 0);  // a smaller entry is skipped for the larger one (never read)
    entry(4, std::uint32_t(dib.size()), 6 + 32);
    classic.insert(classic.end(), dib.begin(), dib.end());
    TDecodedImage img = DecodeIco(classic.data(), classic.size());
    ASSERT_EQ(img.Width, 4);
    ASSERT_EQ(img.Height, 4);
    EXPECT_EQ(img.Pixels[0] >> 24, 0u);  // masked
    EXPECT_EQ(img.Pixels[1], flat.Bits()[1]);
    EXPECT_EQ(img.Pixels[15], flat.Bits()[15]);
    Torture(classic, DecodeIco);
    EXPECT_THROW(DecodeIco(classic.data(), classic.size() - 8), EInvalidGraphic);
    EXPECT_THROW(DecodeIco(ico.data(), 30), EInvalidGraphic);
    Torture(ico, DecodeIco);
}

TEST(Codecs, PngTorture) {
    const TBitmap b = Pattern(9, 9, true);
    Torture(EncodePng(b, true), DecodePng);
    const TBytes png = EncodePng(b, true);
    EXPECT_THROW(DecodePng(png.data(), png.size() - 20), EInvalidGraphic);
}

TEST(Pictures, LoadByContentAndKeepThePreviousPictureOnFailure) {
    TPicture pic;
    int changes = 0;
    pic.SetOnChange([&](TObject*) { ++changes; });
    const TBitmap b = Flat(6, 5);
    pic.LoadFromBuffer(EncodePng(b, false));
    EXPECT_EQ(pic.GetGraphic()->ClassName(), "TPngImage");
    EXPECT_EQ(pic.GetWidth(), 6);
    pic.LoadFromBuffer(EncodeGif(b));
    EXPECT_EQ(pic.GetGraphic()->ClassName(), "TGIFImage");
    pic.LoadFromBuffer(EncodeJpeg(b, 80));
    EXPECT_EQ(pic.GetGraphic()->ClassName(), "TJPEGImage");
    pic.LoadFromBuffer(EncodeIco(b));
    EXPECT_EQ(pic.GetGraphic()->ClassName(), "TIcon");
    pic.LoadFromBuffer(EncodeBmp(b, false));
    EXPECT_EQ(pic.GetGraphic()->ClassName(), "TBitmap");
    EXPECT_EQ(changes, 5);
    TBytes damaged = EncodePng(b, false);
    damaged.resize(damaged.size() / 2);
    EXPECT_THROW(pic.LoadFromBuffer(damaged), EInvalidGraphic);
    EXPECT_EQ(pic.GetGraphic()->ClassName(), "TBitmap");
    EXPECT_EQ(changes, 5);
    const TBytes text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_THROW(pic.LoadFromBuffer(text), EInvalidGraphic);

    // A placeable metafile: 2 x 1 inches at 1440 units per inch.
    TBytes wmf = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0x40, 0x0B, 0xA0,
                  0x05, 0xA0, 0x05, 0,    0, 0, 0, 0, 0, 1, 2,    3};
    unsigned sum = 0;
    for (int k = 0; k < 20; k += 2)
        sum ^= unsigned(wmf[std::size_t(k)] | wmf[std::size_t(k) + 1] << 8);
    wmf[20] = std::uint8_t(sum), wmf[21] = std::uint8_t(sum >> 8);
    pic.LoadFromBuffer(wmf);
    EXPECT_EQ(pic.GetGraphic()->ClassName(), "TMetafile");
    EXPECT_EQ(pic.GetWidth(), 192);
    EXPECT_EQ(pic.GetHeight(), 96);
    EXPECT_EQ(pic.GetGraphic()->SaveToBuffer(), wmf);
    TBitmap shown(20, 10);
    shown.Canvas().StretchDraw(Rect(0, 0, 20, 10), *pic.GetGraphic());
    EXPECT_EQ(shown.GetPixelColor(0, 5), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(shown.GetPixelColor(10, 2), TColor(ColorToRGB(clWindow)));
    wmf[21] ^= 1;
    EXPECT_THROW(pic.LoadFromBuffer(wmf), EInvalidGraphic);
}

TEST(Pictures, FilesAndStreams) {
    veltest::TempDir dir;
    const TBitmap b = Pattern(8, 8, false);
    TPngImage png;
    png.SetImage(b);
    png.SaveToFile(dir.File("a.png"));
    TPicture pic;
    pic.LoadFromFile(dir.File("a.png"));
    ASSERT_NE(dynamic_cast<TPngImage*>(pic.GetGraphic()), nullptr);
    EXPECT_TRUE(veltest::SamePixels(static_cast<TPngImage*>(pic.GetGraphic())->Image(), b));
    TMemoryStream ms;
    pic.SaveToStream(ms);
    ms.SetPosition(0);
    TBitmap viaStream;
    TPicture again;
    again.LoadFromStream(ms);
    EXPECT_EQ(again.GetWidth(), 8);
    // GetBitmap converts the picture.
    TBitmap& asBitmap = again.GetBitmap();
    EXPECT_EQ(asBitmap.GetPixel(3, 3) | 0xFF000000u, b.GetPixel(3, 3));
    EXPECT_THROW(pic.LoadFromFile(dir.File("missing.png")), EFOpenError);
    // A bitmap saved and loaded through a file.
    b.SaveToFile(dir.File("b.bmp"));
    TBitmap loaded;
    loaded.LoadFromFile(dir.File("b.bmp"));
    EXPECT_TRUE(veltest::SamePixels(loaded, b));
}
