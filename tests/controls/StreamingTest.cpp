// Controls and forms through the text form: what is written, and that a read form lays out.
#include "ControlsTestUtil.h"
#include "classes/Streaming.h"

using namespace vel;

namespace veltest {

class TStreamPanel : public TCustomControl {
    VEL_CLASS(TStreamPanel)
public:
    explicit TStreamPanel(TComponent* o) : TCustomControl(o) {}
};
VEL_DEFINE_CREATABLE_CLASS(TStreamPanel, TCustomControl)

namespace {

class ControlStreamingTest : public ControlsTest {
protected:
    ControlStreamingTest() { RegisterClasses({TStreamPanel::StaticClass(), TForm::StaticClass()}); }
};

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

}  // namespace
}  // namespace veltest
