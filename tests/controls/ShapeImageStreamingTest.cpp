// Shapes keep their pen and brush, and images their picture, through the text form.
#include <memory>

#include "platform/classes/PropAccess.h"
#include "platform/classes/Streaming.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/graphics/Picture.h"
#include "tests/controls/ControlsTestUtil.h"
#include "tests/controls/PixelChecks.h"

using namespace vel;

namespace veltest {
namespace {

// Flat colours, so that every format (GIF's palette, icons) keeps them exactly.
TBitmap Flat(int w, int h) {
    TBitmap b(w, h);
    const TColor colors[] = {clRed, clLime, clBlue, clWhite, clBlack, clYellow};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, PixelFromColor(colors[(x / 2 + y) % 6]));
    return b;
}

// The picture's pixels, whatever graphic holds them.
TBitmap PixelsOf(const TPicture& picture) {
    TBitmap b;
    b.Assign(picture.GetGraphic());
    return b;
}

std::unique_ptr<TGraphic> GraphicOf(const TClassInfo* cls, const TBitmap& pixels) {
    auto g = CreateGraphic(cls);
    g->Assign(&pixels);
    return g;
}

std::string Hex(const TBytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) out += {digits[b >> 4], digits[b & 15]};
    return out;
}

TBytes Named(const std::string& name, TBytes image, std::size_t length) {
    TBytes data{static_cast<std::uint8_t>(length)};
    data.insert(data.end(), name.begin(), name.end());
    data.insert(data.end(), image.begin(), image.end());
    return data;
}

class ShapeImageStreamingTest : public ControlsTest {
protected:
    template <class T>
    static T* Add(TForm& form, const std::string& name, TRect bounds) {
        auto* c = new T(&form);
        c->SetName(name);
        c->SetBoundsRect(bounds);
        c->SetParent(&form);
        return c;
    }
    static std::unique_ptr<TForm> NewForm() {
        auto form = std::make_unique<TForm>(nullptr);
        form->SetName("Sheet");
        form->SetBorderStyle(TFormBorderStyle::bsNone);
        form->SetBounds(0, 0, 200, 100);
        return form;
    }
};

TEST_F(ShapeImageStreamingTest, ShapesKeepPenAndBrush) {
    std::string text;
    {
        auto form = NewForm();
        auto* box = Add<TShape>(*form, "Box", Rect(10, 10, 70, 50));
        box->Pen().SetColor(clRed);
        box->Pen().SetWidth(3);
        box->Pen().SetMode(TPenMode::pmNotXor);
        box->Pen().SetStyle(TPenStyle::psDash);
        box->Brush().SetColor(clYellow);
        box->SetShape(TShapeType::stRoundRect);
        // A clear brush whose colour was changed first: reading must not make it solid again.
        auto* hole = Add<TShape>(*form, "Hole", Rect(100, 10, 140, 50));
        hole->Brush().SetColor(clBlue);
        hole->Brush().SetStyle(TBrushStyle::bsClear);
        hole->Pen().SetStyle(TPenStyle::psClear);
        Add<TShape>(*form, "Plain", Rect(150, 10, 190, 50));
        text = ComponentToText(form.get());
    }
    for (const char* expected :
         {"Pen.Color = clRed", "Pen.Mode = pmNotXor", "Pen.Style = psDash", "Pen.Width = 3",
          "Brush.Color = clYellow", "Shape = stRoundRect", "Brush.Color = clBlue",
          "Brush.Style = bsClear", "Pen.Style = psClear"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    // The classic defaults are not written.
    const std::string plain = text.substr(text.find("object Plain"));
    EXPECT_EQ(plain.find("Pen."), std::string::npos) << plain;
    EXPECT_EQ(plain.find("Brush."), std::string::npos) << plain;

    TForm read(nullptr);
    ReadComponentText(text, &read);
    EXPECT_EQ(ComponentToText(&read), text);
    auto* box = dynamic_cast<TShape*>(read.FindComponent("Box"));
    auto* hole = dynamic_cast<TShape*>(read.FindComponent("Hole"));
    ASSERT_TRUE(box && hole);
    EXPECT_EQ(box->Pen().GetMode(), TPenMode::pmNotXor);
    EXPECT_EQ(box->Pen().GetWidth(), 3);
    EXPECT_EQ(hole->Brush().GetStyle(), TBrushStyle::bsClear);
    EXPECT_EQ(hole->Brush().GetColor(), clBlue);
    EXPECT_EQ(GetEnumProp(box, "Pen.Style"), "psDash");
    EXPECT_THROW(SetEnumProp(box, "Brush.Style", "psDash"), Exception);
}

TEST_F(ShapeImageStreamingTest, ChangingPenOrBrushRepaintsTheShape) {
    auto form = NewForm();
    auto* box = Add<TShape>(*form, "Box", Rect(10, 10, 70, 50));
    box->Brush().SetColor(clYellow);
    box->Pen().SetColor(clRed);
    box->Pen().SetWidth(3);
    form->Show();
    Process();
    auto img = box->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(30, 20), Rgb(clYellow));
    EXPECT_EQ(img->GetPixelColor(1, 20), Rgb(clRed));
    // Through the property names a form reader uses; only the queue repaints.
    SetPropText(box, "Brush.Color", "clLime");
    SetPropText(box, "Pen.Color", "clBlue");
    Process();
    img = box->CaptureImage();
    EXPECT_EQ(img->GetPixelColor(30, 20), Rgb(clLime));
    EXPECT_EQ(img->GetPixelColor(1, 20), Rgb(clBlue));
    SetEnumProp(box, "Brush.Style", "bsClear");
    Process();
    EXPECT_EQ(box->CaptureImage()->GetPixelColor(30, 20), Rgb(form->GetColor()));
}

TEST_F(ShapeImageStreamingTest, ImagesRoundTripInEveryWrittenFormat) {
    const TBitmap pixels = Flat(10, 6);
    const TClassInfo* classes[] = {TBitmap::StaticClass(), TPngImage::StaticClass(),
                                   TJPEGImage::StaticClass(), TGIFImage::StaticClass(),
                                   TIcon::StaticClass()};
    std::string text;
    {
        auto form = NewForm();
        int i = 0;
        for (const TClassInfo* cls : classes) {
            auto* image = Add<TImage>(*form, std::string("Image") + cls->Name,
                                      Rect(i * 20, 0, i * 20 + 15, 15));
            image->Picture().SetGraphic(GraphicOf(cls, pixels).get());
            image->SetStretch(i % 2 == 0);
            ++i;
        }
        Add<TImage>(*form, "Empty", Rect(0, 50, 15, 65))->SetProportional(true);
        text = ComponentToText(form.get());
    }
    // Each picture is its class name, length-prefixed, then the encoded image.
    for (const TClassInfo* cls : classes) {
        const std::string name = cls->Name;
        const std::string head = "Picture.Data = {\n      " + Hex(Named(name, {}, name.size()));
        EXPECT_NE(text.find(head), std::string::npos) << head << "\n" << text;
    }
    const std::string empty = text.substr(text.find("object Empty"));
    EXPECT_EQ(empty.find("Picture"), std::string::npos) << empty;

    TForm read(nullptr);
    ReadComponentText(text, &read);
    EXPECT_EQ(ComponentToText(&read), text);
    for (const TClassInfo* cls : classes) {
        auto* image = dynamic_cast<TImage*>(read.FindComponent(std::string("Image") + cls->Name));
        ASSERT_NE(image, nullptr);
        ASSERT_NE(image->Picture().GetGraphic(), nullptr) << cls->Name;
        EXPECT_EQ(image->Picture().GetGraphic()->ClassType(), cls);
        const TBitmap back = PixelsOf(image->Picture());
        ASSERT_EQ(back.GetWidth(), 10);
        ASSERT_EQ(back.GetHeight(), 6);
        // JPEG is lossy: it must come back as its own encoding decodes, the others exactly.
        TPicture encoded;
        encoded.LoadFromBuffer(GraphicOf(cls, pixels)->SaveToBuffer());
        const TBitmap want = cls == TJPEGImage::StaticClass() ? PixelsOf(encoded) : pixels;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ(back.GetPixel(x, y) & 0xFFFFFF, want.GetPixel(x, y) & 0xFFFFFF)
                    << cls->Name << " " << x << "," << y;
    }
    EXPECT_EQ(dynamic_cast<TImage*>(read.FindComponent("Empty"))->Picture().GetGraphic(), nullptr);
}

TEST_F(ShapeImageStreamingTest, BadPictureDataNamesThePropertyAndKeepsThePicture) {
    auto form = NewForm();
    auto* logo = Add<TImage>(*form, "Logo", Rect(0, 0, 20, 20));
    TBitmap red(4, 3);
    red.Fill(PixelFromColor(clRed));
    logo->Picture().SetGraphic(GraphicOf(TPngImage::StaticClass(), red).get());
    int changes = 0;
    const TBytes png = logo->Picture().GetGraphic()->SaveToBuffer();
    const TBytes bmp = red.SaveToBuffer();
    const TBytes half(png.begin(), png.begin() + png.size() / 2);
    TBytes damaged = png;
    for (std::size_t i = 20; i < damaged.size() - 12; ++i) damaged[i] ^= 0x5A;
    struct Case {
        std::string Hex;
        std::string Message;  // empty: the codec's own message follows the prefix
    };
    const Case cases[] = {
        {"0954Z0", "Line 2: Bad binary data in Logo.Picture.Data: bad hex digit 'Z'"},
        {"095", "Line 2: Bad binary data in Logo.Picture.Data: odd number of hex digits"},
        {"", "Line 2: Error reading Logo.Picture.Data: Picture data is empty."},
        {Hex(Named("TFooImage", png, 9)),
         "Line 2: Error reading Logo.Picture.Data: Unknown graphic class 'TFooImage'."},
        {Hex(Named("TPngImage", {}, 0xFF)),
         "Line 2: Error reading Logo.Picture.Data: Picture data is damaged: the class name "
         "length 255 does not fit the 10 bytes of data."},
        {Hex(Named("TPngImage", png, 0)),
         "Line 2: Error reading Logo.Picture.Data: Picture data is damaged: the class name "
         "length 0 does not fit the " +
             std::to_string(png.size() + 10) + " bytes of data."},
        // One byte short: the name loses its last letter and the image gains it.
        {Hex(Named("TPngImage", png, 8)),
         "Line 2: Error reading Logo.Picture.Data: Unknown graphic class 'TPngImag'."},
        {Hex(Named("TPngImage", {}, 9)),
         "Line 2: Error reading Logo.Picture.Data: Picture data holds no TPngImage image after "
         "its class name."},
        {Hex(Named("TPngImage", half, 9)), ""},
        {Hex(Named("TPngImage", damaged, 9)), ""},
        {Hex(Named("TPngImage", bmp, 9)), ""},
        {Hex(Named("TBitmap", png, 7)), ""},
    };
    logo->Picture().SetOnChange([&](TObject*) { ++changes; });
    for (const Case& c : cases) {
        const std::string text = "object Logo: TImage\n  Picture.Data = {" + c.Hex + "}\nend\n";
        try {
            ReadComponentText(text, logo);
            ADD_FAILURE() << "accepted " << c.Hex;
        } catch (const EReadError& e) {
            if (!c.Message.empty())
                EXPECT_EQ(e.Message(), c.Message);
            else
                EXPECT_EQ(e.Message().rfind("Line 2: Error reading Logo.Picture.Data: ", 0), 0u)
                    << e.Message();
        }
        ASSERT_NE(logo->Picture().GetGraphic(), nullptr) << c.Hex;
        EXPECT_EQ(logo->Picture().GetGraphic()->ClassType(), TPngImage::StaticClass());
        EXPECT_EQ(PixelsOf(logo->Picture()).GetPixelColor(3, 2), clRed);
    }
    EXPECT_EQ(changes, 0);
    // And a good block after all that replaces the picture.
    ReadComponentText(
        "object Logo: TImage\n  Picture.Data = {" + Hex(Named("TBitmap", bmp, 7)) + "}\nend\n",
        logo);
    EXPECT_EQ(logo->Picture().GetGraphic()->ClassType(), TBitmap::StaticClass());
    EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace veltest
