// Controls and forms through the text form: what is written, and that a read form lays out.
#include "platform/classes/Streaming.h"
#include "tests/controls/ControlsTestUtil.h"

using namespace vel;

namespace veltest {

class TStreamPanel : public TCustomControl {
    VEL_CLASS(TStreamPanel)
public:
    explicit TStreamPanel(TComponent* o) : TCustomControl(o) {}
};
VEL_DEFINE_CREATABLE_CLASS(TStreamPanel, TCustomControl)

namespace {

using ControlStreamingTest = ControlsTest;

TEST_F(ControlStreamingTest, FormWithAlignedAndAnchoredControlsRoundTrips) {
    std::string text;
    {
        TForm form(nullptr);
        form.SetName("Main");
        form.SetBorderStyle(TFormBorderStyle::bsDialog);
        form.SetClientWidth(300);
        form.SetClientHeight(200);
        auto* top = new TStreamPanel(&form);
        top->SetName("Top");
        top->SetParent(&form);
        top->SetHeight(40);
        top->SetAlign(TAlign::alTop);
        top->SetColor(clRed);
        top->Font().SetName("Verdana");
        auto* ok = new TStreamPanel(&form);
        ok->SetName("Ok");
        ok->SetBounds(200, 160, 80, 25);
        ok->SetParent(&form);
        ok->SetAnchors({TAnchorKind::akRight, TAnchorKind::akBottom});
        ok->SetTabStop(true);
        form.SetActiveControlRef(ok);
        text = ComponentToText(&form);
    }
    EXPECT_NE(text.find("BorderStyle = bsDialog"), std::string::npos) << text;
    EXPECT_NE(text.find("Align = alTop"), std::string::npos);
    EXPECT_NE(text.find("Anchors = [akRight, akBottom]"), std::string::npos);
    EXPECT_NE(text.find("Color = clRed"), std::string::npos);
    EXPECT_NE(text.find("ParentFont = False"), std::string::npos);
    EXPECT_NE(text.find("ActiveControl = Ok"), std::string::npos);
    // Inherited values are not written: only Top has its own font and colour.
    EXPECT_EQ(text.find("ParentFont"), text.rfind("ParentFont"));
    EXPECT_EQ(text.find("Color = clRed"), text.rfind("Color = cl"));

    TForm read(nullptr);
    ReadComponentText(text, &read);
    auto* top = static_cast<TControl*>(read.FindComponent("Top"));
    auto* ok = static_cast<TWinControl*>(read.FindComponent("Ok"));
    ASSERT_NE(top, nullptr);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(top->GetParent(), &read);
    EXPECT_EQ(read.GetClientWidth(), 300);
    EXPECT_EQ(top->GetBoundsRect(), Rect(0, 0, 300, 40));
    EXPECT_FALSE(top->GetParentFont());
    EXPECT_TRUE(ok->GetParentFont());
    EXPECT_EQ(top->GetColor(), clRed);
    EXPECT_EQ(read.GetActiveControl(), ok);
    EXPECT_EQ(ComponentToText(&read), text);
    // Anchors work from the positions read.
    read.SetClientWidth(250);
    EXPECT_EQ(ok->GetLeft(), 150);
    EXPECT_EQ(top->GetWidth(), 250);
}

TEST_F(ControlStreamingTest, FontSubPropertiesWriteOnlyChangesAndReadBack) {
    std::string text;
    {
        TForm form(nullptr);
        form.SetName("Main");
        auto* own = new TStreamPanel(&form);
        own->SetName("Own");
        own->SetParent(&form);
        own->Font().SetSize(12);
        own->Font().SetStyle(TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic});
        own->Font().SetColor(clRed);
        own->Font().SetPitch(TFontPitch::fpFixed);
        auto* inherits = new TStreamPanel(&form);
        inherits->SetName("Inherits");
        inherits->SetParent(&form);
        text = ComponentToText(&form);
    }
    EXPECT_NE(text.find("Font.Height = -16"), std::string::npos) << text;
    EXPECT_NE(text.find("Font.Style = [fsBold, fsItalic]"), std::string::npos);
    EXPECT_NE(text.find("Font.Color = clRed"), std::string::npos);
    EXPECT_NE(text.find("Font.Pitch = fpFixed"), std::string::npos);
    // Unchanged values and the derived size stay out; so does the inheriting panel's font.
    EXPECT_EQ(text.find("Font.Name"), std::string::npos);
    EXPECT_EQ(text.find("Font.Charset"), std::string::npos);
    EXPECT_EQ(text.find("Font.Size"), std::string::npos);
    EXPECT_EQ(text.find("Font.Height"), text.rfind("Font.Height"));

    TForm read(nullptr);
    ReadComponentText(text, &read);
    auto* own = static_cast<TControl*>(read.FindComponent("Own"));
    auto* inherits = static_cast<TControl*>(read.FindComponent("Inherits"));
    ASSERT_NE(own, nullptr);
    ASSERT_NE(inherits, nullptr);
    EXPECT_FALSE(own->GetParentFont());
    EXPECT_EQ(own->Font().GetSize(), 12);
    EXPECT_EQ(own->Font().GetStyle(), (TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic}));
    EXPECT_EQ(own->Font().GetColor(), clRed);
    EXPECT_TRUE(inherits->GetParentFont());
    EXPECT_TRUE(inherits->Font().SameAs(read.Font()));
    EXPECT_EQ(ComponentToText(&read), text);
    // A bad value names the property and leaves the font as it was.
    EXPECT_THROW(SetPropText(own, "Font.Pitch", "fpWobbly"), Exception);
    EXPECT_EQ(own->Font().GetPitch(), TFontPitch::fpFixed);
}

}  // namespace
}  // namespace veltest
