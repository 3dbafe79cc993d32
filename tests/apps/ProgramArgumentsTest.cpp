// The programs' command lines and the files they are pointed at, as a new user gets them wrong.
#include <filesystem>
#include <sstream>

#include "apps/veldemo/DemoProgram.h"
#include "apps/veldemodb/DemoDatabase.h"
#include "apps/veldemodb/DemoDbProgram.h"
#include "apps/velgallery/GalleryProgram.h"
#include "apps/velglyphc/GlyphCompiler.h"
#include "apps/velsheets/SheetsProgram.h"
#include "platform/db/DBTypes.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace {

using Args = std::vector<std::string>;

// The message of the ECommandLineError that Parse(args) raises, or "" when it does not.
template <typename Parse>
std::string UsageError(Parse parse, const Args& args) {
    try {
        parse(args);
    } catch (const ECommandLineError& e) {
        return e.Message();
    }
    return "";
}

struct Outcome {
    int Status;
    std::string Out, Err;
};

template <typename Main>
Outcome RunMain(Main run, std::vector<const char*> args) {
    std::ostringstream out, err;
    const int status = run(int(args.size()), args.data(), out, err);
    return {status, out.str(), err.str()};
}

const char* kGlyph =
    "name VELTEST\nsize 2 2\ncolors\n. 808000 mask\nk 000000 ink\n\nglyph 0 dot\nk.\n.k\n";

}  // namespace

TEST(ProgramArguments, DemoDatabaseArguments) {
    auto parse = veldemodb::ParseArguments;
    veldemodb::TArguments a = parse({});
    EXPECT_EQ(a.File, "demo.db");
    EXPECT_EQ(a.Options.Orders, TDemoDatabaseOptions{}.Orders);
    a = parse({"--orders", "500", "x.db"});
    EXPECT_EQ(a.File, "x.db");
    EXPECT_EQ(a.Options.Orders, 500);
    // A count left out is an error, not the output file's name.
    EXPECT_EQ(UsageError(parse, {"x.db", "--orders"}), "--orders needs a value");
    EXPECT_EQ(UsageError(parse, {"--orders", "x.db"}),
              "--orders needs a whole number from 1 to 10000000, not 'x.db'");
    EXPECT_EQ(UsageError(parse, {"--orders", "0"}),
              "--orders needs a whole number from 1 to 10000000, not '0'");
    EXPECT_EQ(UsageError(parse, {"--order", "5"}), "unknown option '--order'");
    EXPECT_EQ(UsageError(parse, {"a.db", "b.db"}), "one database file only, not 'a.db' and 'b.db'");
}

TEST(ProgramArguments, DemoDatabaseIntoAFolderOrMissingFolderSaysSoAndFailsFast) {
    veltest::TempDir dir;
    const std::string folder = dir.Path().string();
    TDemoDatabaseOptions tiny;
    tiny.Orders = 10;
    tiny.Customers = 5;
    try {
        BuildDemoDatabase(folder, tiny);
        ADD_FAILURE();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Cannot write the demo database to '" + folder + "': it is a folder");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    const std::string nowhere = dir.File("no/such/demo.db");
    EXPECT_THROW(BuildDemoDatabase(nowhere, tiny), EDatabaseError);

    Outcome o = RunMain(veldemodb::Run, {"veldemodb", folder.c_str(), "--orders", "10"});
    EXPECT_EQ(o.Status, 1);
    EXPECT_EQ(o.Err, "veldemodb: Cannot write the demo database to '" + folder + "': it is a folder\n");
    o = RunMain(veldemodb::Run, {"veldemodb", "--orders"});
    EXPECT_EQ(o.Status, 2);
    EXPECT_EQ(o.Err, "veldemodb: --orders needs a value\nusage: veldemodb [file] [--orders N]\n");
    o = RunMain(veldemodb::Run, {"veldemodb", "--version"});
    EXPECT_EQ(o.Status, 0);
    EXPECT_EQ(o.Out, "veldemodb (VelGrid) " + VelVersion() + "\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(ProgramArguments, DemoNeedsOneReadableDatabaseFile) {
    auto parse = veldemo::ParseArguments;
    EXPECT_EQ(UsageError(parse, {}), "the demo database is missing");
    EXPECT_EQ(UsageError(parse, {"a.db", "b.db"}), "one database only, not 'a.db' and 'b.db'");
    EXPECT_EQ(UsageError(parse, {"a.db", "--out"}), "--out needs a value");
    EXPECT_EQ(UsageError(parse, {"-x", "a.db"}), "unknown option '-x'");
    const veldemo::TArguments a = parse({"--out", "shots", "a.db"});
    EXPECT_EQ(a.Database, "a.db");
    EXPECT_EQ(a.OutDir, "shots");
    EXPECT_EQ(parse({"a.db"}).OutDir, "out/demo");

    veltest::TempDir dir;
    const std::string folder = dir.Path().string(), missing = dir.File("missing.db");
    const std::pair<std::string, std::string> cases[] = {
        {folder, "Cannot open the demo database '" + folder + "': it is a folder"},
        {missing,
         "Cannot open the demo database '" + missing + "': it does not exist (make demo builds one)"}};
    for (const auto& [file, message] : cases) {
        try {
            veldemo::CheckDatabaseFile(file);
            ADD_FAILURE() << file;
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    }
    veltest::WriteFileText(dir.File("demo.db"), "x");
    EXPECT_NO_THROW(veldemo::CheckDatabaseFile(dir.File("demo.db")));
}

TEST(ProgramArguments, PictureProgramsTakeOneOutput) {
    EXPECT_EQ(velgallery::ParseArguments({}), "docs/images/controls.png");
    EXPECT_EQ(velgallery::ParseArguments({"g.png"}), "g.png");
    EXPECT_EQ(UsageError(velgallery::ParseArguments, {"a.png", "b.png"}),
              "one output file only, not 'a.png' and 'b.png'");
    EXPECT_EQ(UsageError(velgallery::ParseArguments, {"--size"}), "unknown option '--size'");
    veltest::TempDir dir;
    EXPECT_THROW(velgallery::ParseArguments({dir.Path().string()}), EInOutError);

    EXPECT_EQ(velsheets::ParseArguments({}), "docs/images");
    EXPECT_EQ(velsheets::ParseArguments({"out"}), "out");
    EXPECT_EQ(UsageError(velsheets::ParseArguments, {"a", "b"}),
              "one output folder only, not 'a' and 'b'");
}

TEST(ProgramArguments, GlyphCompilerNamesTheFolderOrFileAndKeepsTheOutput) {
    EXPECT_EQ(UsageError(velglyphc::ParseArguments, {"glyphs"}),
              "needs a glyph folder and an output file, got 1 argument(s)");
    EXPECT_EQ(UsageError(velglyphc::ParseArguments, {"--fast", "a", "b"}),
              "unknown option '--fast'");

    veltest::TempDir dir;
    const std::string glyphs = dir.File("glyphs"), out = dir.File("GlyphData.cpp");
    std::filesystem::create_directory(glyphs);
    veltest::WriteFileText(glyphs + "/VELTEST.txt", kGlyph);
    veltest::WriteFileText(glyphs + "/README.md", "not a glyph");
    EXPECT_EQ(velglyphc::CompileGlyphFolder(glyphs, out), 1);
    const std::string good = veltest::ReadFileText(out);
    EXPECT_NE(good.find("VELTEST"), std::string::npos);

    veltest::WriteFileText(glyphs + "/BROKEN.txt", "name BROKEN\nsize x\n");
    Outcome o = RunMain(velglyphc::Run, {"velglyphc", glyphs.c_str(), out.c_str()});
    EXPECT_EQ(o.Status, 1);
    EXPECT_EQ(o.Err.rfind("velglyphc: " + glyphs + "/BROKEN.txt: ", 0), 0u) << o.Err;
    EXPECT_EQ(std::count(o.Err.begin(), o.Err.end(), '\n'), 1);
    EXPECT_EQ(veltest::ReadFileText(out), good);

    const std::string missing = dir.File("nope");
    o = RunMain(velglyphc::Run, {"velglyphc", missing.c_str(), out.c_str()});
    EXPECT_EQ(o.Status, 1);
    EXPECT_EQ(o.Err, "velglyphc: Cannot read the glyph folder '" + missing + "': it does not exist\n");
    o = RunMain(velglyphc::Run, {"velglyphc"});
    EXPECT_EQ(o.Status, 2);
}
