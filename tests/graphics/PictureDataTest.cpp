// A picture's form data and the graphic class registry behind it.
#include <gtest/gtest.h>

#include <string>

#include "platform/graphics/Errors.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Exceptions.h"

using namespace vel;

namespace {

// A graphic class of an application's own, known to pictures only once registered.
class TMarkedBitmap : public TBitmap {
    VEL_CLASS(TMarkedBitmap)
};
VEL_DEFINE_CLASS(TMarkedBitmap, TBitmap)

TBitmap Solid(int w, int h, TColor c) {
    TBitmap b(w, h);
    b.Fill(PixelFromColor(c));
    return b;
}

}  // namespace

TEST(PictureData, ClassNameLengthPrefixedThenTheGraphicsOwnBytes) {
    TPicture picture;
    EXPECT_TRUE(picture.GetData().empty());
    TPngImage png;
    png.SetImage(Solid(3, 2, clBlue));
    picture.SetGraphic(&png);
    const TBytes data = picture.GetData();
    const TBytes image = picture.GetGraphic()->SaveToBuffer();
    ASSERT_EQ(data.size(), 1 + 9 + image.size());
    EXPECT_EQ(data[0], 9);
    EXPECT_EQ(std::string(data.begin() + 1, data.begin() + 10), "TPngImage");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), data.begin() + 10));

    TPicture copy;
    copy.SetData(data);
    ASSERT_NE(copy.GetGraphic(), nullptr);
    EXPECT_EQ(copy.GetGraphic()->ClassName(), "TPngImage");
    EXPECT_EQ(copy.GetData(), data);
}

TEST(PictureData, RegisteredClassesAreCreatedByName) {
    EXPECT_EQ(FindGraphicClass("tjpegimage"), TJPEGImage::StaticClass());
    EXPECT_EQ(FindGraphicClass("TPicture"), nullptr);
    EXPECT_THROW(RegisterGraphicClass(TPicture::StaticClass(),
                                      [] { return std::unique_ptr<TGraphic>(new TBitmap); }),
                 EInvalidArgument);

    const std::string name = "TMarkedBitmap";
    TBytes data{static_cast<std::uint8_t>(name.size())};
    data.insert(data.end(), name.begin(), name.end());
    const TBytes image = Solid(2, 2, clRed).SaveToBuffer();
    data.insert(data.end(), image.begin(), image.end());
    TPicture other;
    try {
        other.SetData(data);
        ADD_FAILURE() << "an unregistered class was created";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Unknown graphic class 'TMarkedBitmap'.");
    }
    EXPECT_EQ(other.GetGraphic(), nullptr);

    RegisterGraphicClass(TMarkedBitmap::StaticClass(),
                         [] { return std::unique_ptr<TGraphic>(new TMarkedBitmap); });
    other.SetData(data);
    ASSERT_NE(dynamic_cast<TMarkedBitmap*>(other.GetGraphic()), nullptr);
    EXPECT_EQ(static_cast<TBitmap*>(other.GetGraphic())->GetPixelColor(1, 1), clRed);
    // A picture copies it as its own class now, and writes it back under its name.
    TPicture copy;
    copy.Assign(&other);
    EXPECT_NE(dynamic_cast<TMarkedBitmap*>(copy.GetGraphic()), nullptr);
    EXPECT_EQ(copy.GetData(), data);
}

TEST(PictureData, NamesWithControlBytesAreShownPrintable) {
    TPicture picture;
    const TBytes data{3, 'T', 0x01, '\n', 0x42};
    try {
        picture.SetData(data);
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Unknown graphic class 'T?" "?'.");
    }
}
