#include <gtest/gtest.h>

#include <memory>

#include "graphics/PimkitGraph.h"
#include "grid/GridStyle.h"
#include "platform/classes/Streaming.h"
#include "platform/classes/TypInfo.h"

namespace vel {
namespace {

// A component holding the sub-objects the way the grid does, so a form can carry them.
class TStyleHost : public TComponent {
    VEL_CLASS(TStyleHost)
public:
    explicit TStyleHost(TComponent* AOwner)
        : TComponent(AOwner), FGradient(this), FButton(this), FStyle(this) {}
    TVelDBGridGradient* GetGradient() const { return const_cast<TVelDBGridGradient*>(&FGradient); }
    void SetGradient(TVelDBGridGradient* v) { FGradient.Assign(v); }
    TPimGradientButton* GetButton() const { return const_cast<TPimGradientButton*>(&FButton); }
    void SetButton(TPimGradientButton* v) { FButton.Assign(v); }
    TVelGridStyle* GetGridStyle() const { return const_cast<TVelGridStyle*>(&FStyle); }
    void SetGridStyle(TVelGridStyle* v) { FStyle.Assign(v); }

private:
    TVelDBGridGradient FGradient;
    TPimGradientButton FButton;
    TVelGridStyle FStyle;
};

VEL_DEFINE_CREATABLE_CLASS(TStyleHost, TComponent)

VEL_PUBLISHED(TStyleHost) {
    Prop("Gradient", &T::GetGradient, &T::SetGradient);
    Prop("Button", &T::GetButton, &T::SetButton);
    Prop("GridStyle", &T::GetGridStyle, &T::SetGridStyle);
}

std::unique_ptr<TStyleHost> RoundTrip(const TStyleHost& Host, std::string* Text = nullptr) {
    std::string text = ComponentToText(&Host);
    if (Text) *Text = text;
    return std::unique_ptr<TStyleHost>(
        static_cast<TStyleHost*>(ReadComponentText(text, nullptr, nullptr)));
}

TEST(Gradient, DefaultsAreNotWrittenAndChangesRoundTrip) {
    TStyleHost host(nullptr);
    host.SetName("Host");
    EXPECT_EQ(host.GetGradient()->GetOptions(),
              (TPimGradientOptions{TPimGradientOption::goGradient, TPimGradientOption::goHotButton}));
    std::string text;
    RoundTrip(host, &text);
    EXPECT_EQ(text.find("Gradient."), std::string::npos) << text;
    EXPECT_EQ(text.find("GridStyle."), std::string::npos) << text;

    int changes = 0;
    host.GetGradient()->SetOnChange([&](TObject*) { ++changes; });
    host.GetGradient()->SetCells({TPimGradientCell::gcStripedRows});
    host.GetGradient()->SetStartColor(clYellow);
    host.GetGradient()->SetStartColor(clYellow);  // unchanged: no news
    host.GetButton()->SetOptions({TPimGradientOption::goGradient});
    EXPECT_EQ(changes, 2);
    auto copy = RoundTrip(host, &text);
    EXPECT_NE(text.find("Gradient.Cells = [gcStripedRows]"), std::string::npos) << text;
    EXPECT_NE(text.find("Gradient.StartColor = clYellow"), std::string::npos) << text;
    // A button's default differs from a plain gradient's, so [goGradient] must be written.
    EXPECT_NE(text.find("Button.Options = [goGradient]"), std::string::npos) << text;
    EXPECT_EQ(copy->GetGradient()->GetCells(), TPimGradientCells{TPimGradientCell::gcStripedRows});
    EXPECT_EQ(copy->GetGradient()->GetStartColor(), clYellow);
    EXPECT_EQ(copy->GetButton()->GetOptions(), TPimGradientOptions{TPimGradientOption::goGradient});
    EXPECT_EQ(copy->GetGradient()->GetShadowFactor(), -25);
    EXPECT_FALSE(IsPublishedProp(copy->GetButton(), "Cells"));
    EXPECT_FALSE(IsPublishedProp(copy->GetButton(), "StepColor"));
}

TEST(GridStyle, StylesLoadTheirSpacingsAndASpacingMakesItCustom) {
    TVelGridStyle style;
    int changes = 0;
    style.SetOnChange([&](TObject*) { ++changes; });
    style.SetVisualStyle(TVisualStyle::vsStandard);
    EXPECT_EQ(style.GetDataRowSpace(), 3);
    EXPECT_EQ(style.GetHeaderRowSpace(), 4);
    EXPECT_EQ(style.GetTitleColMargin(), 0);
    EXPECT_EQ(style.GetTotalRowSpace(), 4);

    bool themed = true;
    style.SetThemedQuery([&] { return themed; });
    style.SetVisualStyle(TVisualStyle::vsDefault);
    EXPECT_EQ(style.GetVisualStyle(), TVisualStyle::vsDefault);
    EXPECT_EQ(style.GetTitleRowSpace(), 8);
    // vsDefault again re-reads the themed state.
    themed = false;
    style.SetVisualStyle(TVisualStyle::vsDefault);
    EXPECT_EQ(style.GetTitleRowSpace(), 4);

    const int before = changes;
    style.SetTotalColMargin(2);
    EXPECT_EQ(style.GetVisualStyle(), TVisualStyle::vsCustom);
    EXPECT_EQ(changes, before + 1);
    style.SetVisualStyle(TVisualStyle::vsCustom);
    EXPECT_EQ(style.GetTotalColMargin(), 2) << "vsCustom keeps the values";
    style.SetVisualStyle(TVisualStyle::vsXPStyle);
    EXPECT_EQ(style.GetTotalColMargin(), 0);
    EXPECT_EQ(style.GetDataRowSpace(), 4);
}

TEST(GridStyle, SpacingsAreStoredOnlyForACustomStyle) {
    TStyleHost host(nullptr);
    host.SetName("Host");
    host.GetGridStyle()->SetVisualStyle(TVisualStyle::vsStandard);
    std::string text;
    auto copy = RoundTrip(host, &text);
    EXPECT_NE(text.find("GridStyle.VisualStyle = vsStandard"), std::string::npos) << text;
    EXPECT_EQ(text.find("DataRowSpace"), std::string::npos) << text;
    EXPECT_EQ(copy->GetGridStyle()->GetDataRowSpace(), 3);

    host.GetGridStyle()->SetDataRowSpace(11);
    copy = RoundTrip(host, &text);
    EXPECT_NE(text.find("GridStyle.VisualStyle = vsCustom"), std::string::npos) << text;
    EXPECT_EQ(copy->GetGridStyle()->GetVisualStyle(), TVisualStyle::vsCustom);
    EXPECT_EQ(copy->GetGridStyle()->GetDataRowSpace(), 11);
    EXPECT_EQ(copy->GetGridStyle()->GetHeaderRowSpace(), 4);
}

}  // namespace
}  // namespace vel
