// A form holding the standard controls goes through the text form and comes back the same.
#include "platform/classes/Streaming.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/CheckLst.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "tests/controls/ControlsTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

class StdStreamingTest : public ControlsTest {
protected:
    template <class T>
    static T* Add(TForm& form, TWinControl* parent, const std::string& name, TRect bounds) {
        auto* c = new T(&form);
        c->SetName(name);
        c->SetBoundsRect(bounds);
        c->SetParent(parent);
        return c;
    }
};

TEST_F(StdStreamingTest, FormWithStandardControlsRoundTrips) {
    std::string text;
    {
        TForm form(nullptr);
        form.SetName("Dialog");
        auto* panel = Add<TPanel>(form, &form, "Buttons", Rect(0, 160, 320, 200));
        panel->SetBevelOuter(TPanelBevel::bvLowered);
        panel->SetAlign(TAlign::alBottom);
        auto* ok = Add<TButton>(form, panel, "Ok", Rect(150, 8, 225, 33));
        ok->SetCaption("OK");
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        auto* cancel = Add<TButton>(form, panel, "Cancel", Rect(230, 8, 305, 33));
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        auto* list = Add<TListBox>(form, &form, "Names", Rect(8, 24, 120, 120));
        list->Items().SetCommaText("Cherry,Apple,Banana");
        list->SetSorted(true);
        list->SetMultiSelect(true);
        auto* label = Add<TLabel>(form, &form, "NamesLabel", Rect(8, 4, 60, 20));
        label->SetCaption("&Names");
        label->SetFocusControl(list);
        auto* group = Add<TGroupBox>(form, &form, "Kind", Rect(130, 4, 310, 80));
        group->SetCaption("Kind");
        Add<TRadioButton>(form, group, "Person", Rect(8, 20, 100, 37))->SetCaption("Person");
        Add<TRadioButton>(form, group, "Company", Rect(8, 40, 100, 57))->SetChecked(true);
        auto* box = Add<TCheckBox>(form, &form, "Active", Rect(130, 90, 230, 107));
        box->SetAllowGrayed(true);
        box->SetState(TCheckBoxState::cbGrayed);
        auto* checks = Add<TCheckListBox>(form, &form, "Columns", Rect(8, 124, 120, 158));
        checks->Items().Add("Name");
        checks->SetFlat(false);
        auto* speed = Add<TSpeedButton>(form, &form, "Bold", Rect(240, 90, 263, 112));
        speed->SetGroupIndex(3);
        speed->SetAllowAllUp(true);
        speed->SetDown(true);
        speed->SetFlat(true);
        Add<TBevel>(form, &form, "Line", Rect(130, 115, 310, 117))
            ->SetShape(TBevelShape::bsTopLine);
        Add<TShape>(form, &form, "Dot", Rect(270, 90, 290, 110))->SetShape(TShapeType::stCircle);
        Add<TImage>(form, &form, "Logo", Rect(290, 90, 310, 110))->SetStretch(true);
        text = ComponentToText(&form);
    }
    for (const char* expected :
         {"object Ok: TButton", "Default = True", "ModalResult = 1", "Cancel = True",
          "Sorted = True", "Items.Strings = (", "FocusControl = Names", "State = cbGrayed",
          "BevelOuter = bvLowered", "GroupIndex = 3", "Down = True", "Shape = bsTopLine",
          "Shape = stCircle", "Stretch = True", "Flat = False", "object Company: TRadioButton"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;

    TForm read(nullptr);
    ReadComponentText(text, &read);
    EXPECT_EQ(ComponentToText(&read), text);
    auto* list = dynamic_cast<TListBox*>(read.FindComponent("Names"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Items().GetCommaText(), "Apple,Banana,Cherry");
    auto* label = dynamic_cast<TLabel*>(read.FindComponent("NamesLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetFocusControl(), list);
    auto* company = dynamic_cast<TRadioButton*>(read.FindComponent("Company"));
    auto* person = dynamic_cast<TRadioButton*>(read.FindComponent("Person"));
    ASSERT_NE(company, nullptr);
    EXPECT_TRUE(company->GetChecked());
    EXPECT_FALSE(person->GetChecked());
    EXPECT_EQ(company->GetParent(), read.FindComponent("Kind"));
    auto* speed = dynamic_cast<TSpeedButton*>(read.FindComponent("Bold"));
    ASSERT_NE(speed, nullptr);
    EXPECT_TRUE(speed->GetDown());
    // The read buttons work: Escape ends the form through the cancel button, Enter through
    // the default one.
    auto* cancel = dynamic_cast<TButton*>(read.FindComponent("Cancel"));
    ASSERT_NE(cancel, nullptr);
    int cancelled = 0;
    cancel->SetOnClick([&](TObject*) { ++cancelled; });
    Application().SetModalResponder([](TCustomForm&) { InjectKey(VK_ESCAPE); });
    read.SetActiveControl(list);
    EXPECT_EQ(read.ShowModal(), mrCancel);
    EXPECT_EQ(cancelled, 1);
    Application().SetModalResponder([](TCustomForm&) { InjectKey(VK_RETURN); });
    EXPECT_EQ(read.ShowModal(), mrOk);
}

}  // namespace
}  // namespace veltest
