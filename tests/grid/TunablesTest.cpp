#include <gtest/gtest.h>

#include "grid/VelDBGrids.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/Exceptions.h"

namespace vel {
namespace {

VEL_RESOURCESTRING(STestGreeting, "Hello")
VEL_RESOURCESTRING(STestFarewell, "Good-bye")

TEST(GridTunables, ShippedValuesAndReset) {
    EXPECT_EQ(DelayInterval, 200);
    EXPECT_EQ(MaxDropDownRows, 20);
    EXPECT_EQ(MaxDropDownWidth, 800);
    EXPECT_EQ(ListDropDownDelay, 8);
    EXPECT_TRUE(ListMouseTracking);
    EXPECT_EQ(DefPickTextFormat, "%1:s - %0:s");
    EXPECT_EQ(DefaultDelimiter, ',');
    EXPECT_EQ(DefAutoNumberFormat, "%d.");
    EXPECT_EQ(DefAutoNumberTitle, "No.");
    EXPECT_EQ(DefAutoSelectTitle, "Select");
    EXPECT_EQ(DefAutoExpandTitle, "Expand");
    EXPECT_EQ(NullValueString, "");
    EXPECT_EQ(DefaultIniFileName, "");
    EXPECT_EQ(DefaultRegistryKey, "\\Software\\Pimworks\\VelDBGrid");
    DelayInterval = 5;
    DefaultRegistryKey = "\\Software\\Other";
    ResetGridTunables();
    EXPECT_EQ(DelayInterval, 200);
    EXPECT_EQ(DefaultRegistryKey, "\\Software\\Pimworks\\VelDBGrid");
}

TEST(ResourceStrings, AssignByVariableAndByName) {
    ResetResourceStrings();
    EXPECT_EQ(STestGreeting.Get(), "Hello");
    STestGreeting = "Hallo";
    EXPECT_EQ(static_cast<const std::string&>(STestGreeting), "Hallo");
    ASSERT_EQ(FindResourceString("stestgreeting"), &STestGreeting);
    SetResourceString("STestFarewell", "Auf Wiedersehen");
    EXPECT_EQ(STestFarewell.Get(), "Auf Wiedersehen");
    EXPECT_EQ(STestFarewell.GetDefaultText(), std::string("Good-bye"));
    EXPECT_EQ(FindResourceString("SNoSuchText"), nullptr);
    EXPECT_THROW(SetResourceString("SNoSuchText", "x"), EInvalidArgument);
    ResetResourceStrings();
    EXPECT_EQ(STestGreeting.Get(), "Hello");
    EXPECT_EQ(STestFarewell.Get(), "Good-bye");
}

TEST(ResourceStrings, TranslationListIsAllOrNothing) {
    ResetResourceStrings();
    TStringList good;
    good.SetText("; German\nSTestGreeting=Guten Tag = hallo\n\nSTestFarewell=Tschüss\n");
    LoadResourceStrings(good);
    EXPECT_EQ(STestGreeting.Get(), "Guten Tag = hallo");
    EXPECT_EQ(STestFarewell.Get(), "Tschüss");

    ResetResourceStrings();
    TStringList bad;
    bad.SetText("STestGreeting=Bonjour\nSTestUnknown=x\n");
    try {
        LoadResourceStrings(bad);
        FAIL() << "an unknown name must be refused";
    } catch (const EInvalidArgument& e) {
        EXPECT_NE(e.Message().find("STestUnknown"), std::string::npos);
    }
    EXPECT_EQ(STestGreeting.Get(), "Hello");
    TStringList garbage;
    garbage.SetText("no separator here\n");
    EXPECT_THROW(LoadResourceStrings(garbage), EInvalidArgument);
    ResetResourceStrings();
}

}  // namespace
}  // namespace vel
