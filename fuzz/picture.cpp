// Every picture decoder, chosen by the first byte, plus content sniffing and form data through
// TPicture.
#include <cstddef>
#include <cstdint>

#include "platform/graphics/Codecs.h"
#include "platform/graphics/Errors.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t* d = data + 1;
    const std::size_t n = size - 1;
    try {
        switch (data[0] % 7) {
            case 0:
                vel::DecodeBmp(d, n);
                break;
            case 1:
                vel::DecodePng(d, n);
                break;
            case 2:
                vel::DecodeJpeg(d, n);
                break;
            case 3:
                vel::DecodeGif(d, n);
                break;
            case 4:
                vel::DecodeIco(d, n);
                break;
            case 5:
                vel::DecodeDib(d, n, true);
                break;
            default: {
                vel::TPicture pic;
                try {
                    pic.LoadFromBuffer(d, n);
                } catch (const vel::EInvalidGraphic&) {
                }
                // The same bytes as form data: a length-prefixed class name, then a graphic.
                pic.SetData(vel::TBytes(d, d + n));
            }
        }
    } catch (const vel::EInvalidGraphic&) {
    }
    return 0;
}
