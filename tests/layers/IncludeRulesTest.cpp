// The tree keeps its layering: an include that runs upwards, a spelling that is not a path from
// the repository root, or another layer's internal header fails this test.
#include <cstdlib>

#include "tests/layers/IncludeRules.h"
#include "tests/support/TempDir.h"

using namespace veltest;

namespace {

void Put(const TempDir& dir, const std::string& path, const std::string& text) {
    std::filesystem::create_directories((dir.Path() / path).parent_path());
    WriteFileText(dir.File(path), text);
}

std::vector<std::string> Described(const std::vector<TIncludeViolation>& found) {
    std::vector<std::string> out;
    for (const auto& v : found) out.push_back(Describe(v));
    return out;
}

}  // namespace

TEST(IncludeRules, TheSourceTreeKeepsItsLayers) {
    const char* root = std::getenv("VEL_SOURCE_DIR");
    ASSERT_NE(root, nullptr) << "VEL_SOURCE_DIR names the repository (set by ctest)";
    EXPECT_THAT(Described(CheckIncludes(root)), ::testing::IsEmpty());
}

TEST(IncludeRules, LayerOrder) {
    EXPECT_TRUE(MayInclude("classes", "rtl"));
    EXPECT_FALSE(MayInclude("rtl", "classes"));
    EXPECT_TRUE(MayInclude("sqlite", "db"));
    EXPECT_FALSE(MayInclude("db", "graphics"));  // the database layer draws nothing
    EXPECT_FALSE(MayInclude("controls", "db"));
    EXPECT_FALSE(MayInclude("controls", "backends"));
    EXPECT_TRUE(MayInclude("backends", "controls"));
    EXPECT_TRUE(MayInclude("library", "sqlite"));
    EXPECT_FALSE(MayInclude("library", "backends"));
    EXPECT_FALSE(MayInclude("sqlite", "library"));
    EXPECT_EQ(LayerOf("platform/db/sqlite/SQLite.h"), "sqlite");
    EXPECT_EQ(LayerOf("platform/graphics/Canvas.h"), "graphics");
    EXPECT_EQ(LayerOf("graphics/PimkitGraph.h"), "library");
}

TEST(IncludeRules, ADeliberateViolationOfEachKindIsReported) {
    TempDir dir;
    Put(dir, "platform/rtl/Base.h", "#pragma once\n");
    Put(dir, "platform/rtl/internal/Digits.h", "#pragma once\n");
    Put(dir, "platform/classes/Object.h", "#pragma once\n#include \"platform/rtl/Base.h\"\n");
    // upwards: the run-time library reaching into the component framework
    Put(dir, "platform/rtl/Strings.h", "#pragma once\n#include \"platform/classes/Object.h\"\n");
    // the platform reaching into the library
    Put(dir, "grid/VelDBGrids.h", "#pragma once\n");
    Put(dir, "platform/controls/Grids.h",
        "#pragma once\n#include <vector>\n\n#include \"grid/VelDBGrids.h\"\n");
    // a layer-relative spelling and another layer's internal header
    Put(dir, "platform/classes/Streams.cpp",
        "#include \"rtl/Base.h\"\n#include \"platform/rtl/internal/Digits.h\"\n");
    // allowed: the rtl's own internal header, the library on the platform, tests on anything
    Put(dir, "platform/rtl/Format.cpp", "#include \"platform/rtl/internal/Digits.h\"\n");
    Put(dir, "grid/DBGrid.cpp", "#include \"platform/controls/Grids.h\"\n");
    Put(dir, "tests/grid/T.cpp", "#include \"grid/VelDBGrids.h\"\n");
    // build output is not checked
    Put(dir, "build/ci/x.cpp", "#include \"nowhere.h\"\n");

    EXPECT_THAT(Described(CheckIncludes(dir.Path())),
                ::testing::ElementsAre(
                    "platform/classes/Streams.cpp:1: \"rtl/Base.h\": not a path from the "
                    "repository root",
                    "platform/classes/Streams.cpp:2: \"platform/rtl/internal/Digits.h\": internal "
                    "header of platform/rtl/ used outside it",
                    "platform/controls/Grids.h:4: \"grid/VelDBGrids.h\": layer controls includes "
                    "layer library above it",
                    "platform/rtl/Strings.h:2: \"platform/classes/Object.h\": layer rtl includes "
                    "layer classes above it"));
}
