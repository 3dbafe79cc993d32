#include <gtest/gtest.h>

#include "grid/GridConsts.h"
#include "grid/GridSettings.h"

namespace vel {
namespace {

TEST(GridSettings, SectionDefaultsFollowNamesAndAreNotKept) {
    TComponent form(nullptr);
    auto* grid = new TComponent(&form);
    TVelDBGridSettings settings(grid);
    EXPECT_EQ(settings.GetSection(), "");
    grid->SetName("Grid1");
    EXPECT_EQ(settings.GetSection(), "Grid1");
    form.SetName("Form1");
    EXPECT_EQ(settings.GetSection(), "Form1.Grid1");
    settings.SetSection("Form1.Grid1");  // the default: not stored, keeps following renames
    EXPECT_FALSE(settings.IsSectionStored());
    grid->SetName("Orders");
    EXPECT_EQ(settings.GetSection(), "Form1.Orders");
    settings.SetSection("Mine");
    EXPECT_TRUE(settings.IsSectionStored());
    grid->SetName("Other");
    EXPECT_EQ(settings.GetSection(), "Mine");
    EXPECT_EQ(settings.GetOptions().ToMask(), 3u);
}

TEST(GridSettings, DefaultFileNameFromTheExecutable) {
    ResetGridTunables();
    TVelDBGridSettings settings;
    const std::string exe = ExecutablePath();
    ASSERT_FALSE(exe.empty());
    const std::string stem = exe.substr(exe.rfind('/') + 1);
    EXPECT_EQ(settings.GetDefaultFileName(), "\\Software\\Pimworks\\" + stem);
    settings.SetExeName(false);
    EXPECT_EQ(settings.GetDefaultFileName(), "\\Software\\Pimworks\\VelDBGrid");
    settings.SetExeName(true);
    DefaultRegistryKey = "\\Software\\Pimworks\\VelDBGridX";  // changed by the application
    EXPECT_EQ(settings.GetDefaultFileName(), "\\Software\\Pimworks\\VelDBGridX");
    settings.SetIniFile(true);
    EXPECT_EQ(settings.GetDefaultFileName(), exe + ".ini");
    DefaultIniFileName = "/tmp/x/grids.ini";
    EXPECT_EQ(settings.GetDefaultFileName(), "/tmp/x/grids.ini");
    ResetGridTunables();
}

}  // namespace
}  // namespace vel
