// PNG (libpng) and JPEG (libjpeg). Both libraries report errors through longjmp; each decoder
// keeps its working state on the heap so that nothing on the stack changes between setjmp and
// the jump, and turns the jump into EInvalidGraphic.
#include <stdio.h>  // jpeglib.h needs FILE and size_t first

#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/graphics/Codecs.h"
#include "platform/graphics/Errors.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

namespace {

// ---------------------------------------------------------------- PNG

struct PngWork {
    const std::uint8_t* Data = nullptr;
    std::size_t Size = 0;
    std::size_t Pos = 0;
    TBytes* Out = nullptr;
    std::string Message;
    std::jmp_buf Jump;
    TDecodedImage Image;
    std::vector<png_bytep> Rows;
};

void PngError(png_structp png, png_const_charp msg) {
    auto* w = static_cast<PngWork*>(png_get_error_ptr(png));
    w->Message = msg ? msg : "unknown error";
    std::longjmp(w->Jump, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep out, png_size_t n) {
    auto* w = static_cast<PngWork*>(png_get_io_ptr(png));
    if (n > w->Size - w->Pos) png_error(png, "unexpected end of data");
    std::memcpy(out, w->Data + w->Pos, n);
    w->Pos += n;
}

void PngWrite(png_structp png, png_bytep data, png_size_t n) {
    auto* w = static_cast<PngWork*>(png_get_io_ptr(png));
    w->Out->insert(w->Out->end(), data, data + n);
}

void PngFlush(png_structp) {}

// ---------------------------------------------------------------- JPEG

struct JpegWork {
    jpeg_error_mgr Err;  // first: libjpeg hands back a pointer to it
    std::jmp_buf Jump;
    std::string Message;
    TDecodedImage Image;
    std::vector<std::uint8_t> Row;
    unsigned char* Mem = nullptr;
    unsigned long MemSize = 0;
};

void JpegErrorExit(j_common_ptr cinfo) {
    auto* w = reinterpret_cast<JpegWork*>(cinfo->err);
    char buf[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, buf);
    w->Message = buf;
    std::longjmp(w->Jump, 1);
}

void JpegMessage(j_common_ptr cinfo, int level) {
    // A file that ends early is damaged, not merely odd.
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) JpegErrorExit(cinfo);
}

}  // namespace

TDecodedImage DecodePng(const std::uint8_t* data, std::size_t size) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0)
        throw EInvalidGraphic("PNG image is not valid: the signature is missing.");
    auto w = std::make_unique<PngWork>();
    w->Data = data;
    w->Size = size;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, w.get(), PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
        throw EOutOfResources("PNG decoder could not be created.");
    }
    if (setjmp(w->Jump)) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw EInvalidGraphic("PNG image is not valid: " + w->Message + ".");
    }
    png_set_read_fn(png, w.get(), PngRead);
    png_set_user_limits(png, 1 << 16, 1 << 16);
    png_set_chunk_malloc_max(png, 64 * 1024 * 1024);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info),
                      height = png_get_image_height(png, info);
    if ((unsigned long long)width * height > (unsigned long long)kMaxImagePixels)
        png_error(png, "picture is too large");
    const int colorType = png_get_color_type(png, info);
    w->Image.HasAlpha =
        (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(width) * 4)
        png_error(png, "unexpected row layout");
    w->Image.Width = int(width);
    w->Image.Height = int(height);
    w->Image.Pixels.resize(std::size_t(width) * height);
    w->Rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        w->Rows[y] = reinterpret_cast<png_bytep>(w->Image.Pixels.data() + std::size_t(y) * width);
    png_read_image(png, w->Rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return std::move(w->Image);
}

TBytes EncodePng(const TBitmap& bmp, bool withAlpha) {
    if (bmp.GetEmpty()) throw EInvalidGraphicOperation("An empty picture cannot be saved as PNG.");
    TBytes out;
    auto w = std::make_unique<PngWork>();
    w->Out = &out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, w.get(), PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
        throw EOutOfResources("PNG encoder could not be created.");
    }
    if (setjmp(w->Jump)) {
        png_destroy_write_struct(&png, &info);
        throw EInvalidGraphicOperation("PNG image could not be written: " + w->Message + ".");
    }
    png_set_write_fn(png, w.get(), PngWrite, PngFlush);
    png_set_IHDR(png, info, png_uint_32(bmp.GetWidth()), png_uint_32(bmp.GetHeight()), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    png_set_bgr(png);
    if (!withAlpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < bmp.GetHeight(); ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(bmp.ScanLine(y)));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

TDecodedImage DecodeJpeg(const std::uint8_t* data, std::size_t size) {
    if (size < 3 || data[0] != 0xFF || data[1] != 0xD8)
        throw EInvalidGraphic("JPEG image is not valid: the start marker is missing.");
    auto w = std::make_unique<JpegWork>();
    auto cinfo = std::make_unique<jpeg_decompress_struct>();
    cinfo->err = jpeg_std_error(&w->Err);
    w->Err.error_exit = JpegErrorExit;
    w->Err.emit_message = JpegMessage;
    if (setjmp(w->Jump)) {
        jpeg_destroy_decompress(cinfo.get());
        throw EInvalidGraphic("JPEG image is not valid: " + w->Message + ".");
    }
    jpeg_create_decompress(cinfo.get());
    jpeg_mem_src(cinfo.get(), const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(cinfo.get(), TRUE);
    if ((long long)cinfo->image_width * cinfo->image_height > kMaxImagePixels) {
        w->Message = "picture is too large";
        std::longjmp(w->Jump, 1);
    }
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(cinfo.get());
    const int width = int(cinfo->output_width), height = int(cinfo->output_height);
    const int comps = cinfo->output_components;
    w->Image.Width = width;
    w->Image.Height = height;
    w->Image.Format = TPixelFormat::pf24bit;
    w->Image.Pixels.resize(std::size_t(width) * height);
    w->Row.resize(std::size_t(width) * comps);
    while (cinfo->output_scanline < cinfo->output_height) {
        const int y = int(cinfo->output_scanline);
        JSAMPROW row = w->Row.data();
        jpeg_read_scanlines(cinfo.get(), &row, 1);
        TPixel* out = w->Image.Pixels.data() + std::size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = w->Row.data() + std::size_t(x) * comps;
            unsigned r, g, b;
            if (comps == 4) {  // inverted CMYK as written by common tools
                r = p[0] * p[3] / 255, g = p[1] * p[3] / 255, b = p[2] * p[3] / 255;
            } else if (comps == 3) {
                r = p[0], g = p[1], b = p[2];
            } else {
                r = g = b = p[0];
            }
            out[x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    jpeg_finish_decompress(cinfo.get());
    jpeg_destroy_decompress(cinfo.get());
    return std::move(w->Image);
}

TBytes EncodeJpeg(const TBitmap& bmp, int quality) {
    if (bmp.GetEmpty()) throw EInvalidGraphicOperation("An empty picture cannot be saved as JPEG.");
    auto w = std::make_unique<JpegWork>();
    auto cinfo = std::make_unique<jpeg_compress_struct>();
    cinfo->err = jpeg_std_error(&w->Err);
    w->Err.error_exit = JpegErrorExit;
    if (setjmp(w->Jump)) {
        jpeg_destroy_compress(cinfo.get());
        std::free(w->Mem);
        throw EInvalidGraphicOperation("JPEG image could not be written: " + w->Message + ".");
    }
    jpeg_create_compress(cinfo.get());
    jpeg_mem_dest(cinfo.get(), &w->Mem, &w->MemSize);
    cinfo->image_width = JDIMENSION(bmp.GetWidth());
    cinfo->image_height = JDIMENSION(bmp.GetHeight());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo.get());
    jpeg_set_quality(cinfo.get(), std::clamp(quality, 1, 100), TRUE);
    jpeg_start_compress(cinfo.get(), TRUE);
    w->Row.resize(std::size_t(bmp.GetWidth()) * 3);
    while (cinfo->next_scanline < cinfo->image_height) {
        const TPixel* src = bmp.ScanLine(int(cinfo->next_scanline));
        for (int x = 0; x < bmp.GetWidth(); ++x) {
            w->Row[3 * x] = std::uint8_t(src[x] >> 16);
            w->Row[3 * x + 1] = std::uint8_t(src[x] >> 8);
            w->Row[3 * x + 2] = std::uint8_t(src[x]);
        }
        JSAMPROW row = w->Row.data();
        jpeg_write_scanlines(cinfo.get(), &row, 1);
    }
    jpeg_finish_compress(cinfo.get());
    jpeg_destroy_compress(cinfo.get());
    TBytes out(w->Mem, w->Mem + w->MemSize);
    std::free(w->Mem);
    return out;
}

}  // namespace vel
