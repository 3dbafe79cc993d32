// The top of a program: what reaches it becomes one line and an exit status; --help and
// --version never run the program; arguments are checked strictly.
#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "platform/rtl/CommandLine.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace {

const TProgramInfo kInfo{"prog", "prog <file> [--n N]", "Does things.\n"};

struct Outcome {
    int Status;
    std::string Out, Err;
};

Outcome Launch(std::vector<const char*> args, const std::function<int()>& body) {
    args.insert(args.begin(), "prog");
    std::ostringstream out, err;
    const int status = RunProgram(kInfo, int(args.size()), args.data(),
                                  [&](const std::vector<std::string>&) { return body(); }, out, err);
    return {status, out.str(), err.str()};
}

int Lines(const std::string& s) { return int(std::count(s.begin(), s.end(), '\n')); }

}  // namespace

TEST(CommandLine, HelpAndVersionPrintWithoutRunning) {
    bool ran = false;
    auto body = [&] { return ran = true, 0; };
    Outcome help = Launch({"x", "--help"}, body);
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out, "usage: prog <file> [--n N]\nDoes things.\n");
    EXPECT_EQ(Launch({"-h"}, body).Status, 0);
    Outcome version = Launch({"--version"}, body);
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, "prog (VelGrid) " + VelVersion() + "\n");
    EXPECT_NE(VelVersion(), "unknown");
    EXPECT_FALSE(ran);
    EXPECT_EQ(Launch({"file"}, [] { return 3; }).Status, 3);
}

TEST(CommandLine, EveryExceptionBecomesOneLineAndAFailureStatus) {
    Outcome usage = Launch({}, []() -> int { throw ECommandLineError("the file is missing"); });
    EXPECT_EQ(usage.Status, 2);
    EXPECT_EQ(usage.Err, "prog: the file is missing\nusage: prog <file> [--n N]\n");

    veltest::TempDir dir;
    const std::string missing = dir.File("missing");
    Outcome fs = Launch({}, [&]() -> int {
        std::filesystem::rename(missing, dir.File("other"));
        return 0;
    });
    EXPECT_EQ(fs.Status, 1);
    EXPECT_EQ(fs.Err, "prog: '" + missing + "' and '" + dir.File("other") +
                          "': No such file or directory\n");

    const std::function<int()> throwers[] = {
        []() -> int { throw EInOutError("Cannot write 'x': disk full"); },
        []() -> int { throw std::runtime_error("plain"); },
        []() -> int { throw std::bad_alloc(); },
        []() -> int { throw 42; }};
    const char* lines[] = {"prog: Cannot write 'x': disk full\n", "prog: plain\n",
                           "prog: out of memory\n", "prog: an unknown error stopped the program\n"};
    for (int i = 0; i < 4; ++i) {
        Outcome o = Launch({}, throwers[i]);
        EXPECT_EQ(o.Status, 1);
        EXPECT_EQ(o.Err, lines[i]);
        EXPECT_EQ(Lines(o.Err), 1);
    }
}

TEST(CommandLine, NumbersAndOptionValuesAreStrict) {
    EXPECT_EQ(ParseIntArgument("--n", "12", 1, 100), 12);
    EXPECT_EQ(ParseIntArgument("--n", "100", 1, 100), 100);
    for (const char* bad : {"", "12x", "1e3", " 5", "0", "101", "-5", "99999999999", "abc"}) {
        try {
            ParseIntArgument("--n", bad, 1, 100);
            ADD_FAILURE() << bad;
        } catch (const ECommandLineError& e) {
            EXPECT_EQ(e.Message(), std::string("--n needs a whole number from 1 to 100, not '") +
                                       bad + "'");
        }
    }
    const std::vector<std::string> args{"--n", "7", "--n", "--x", "--n", "-3", "--n"};
    std::size_t i = 0;
    EXPECT_EQ(OptionValue(args, i), "7");
    EXPECT_EQ(i, 1u);
    i = 2;
    EXPECT_THROW(OptionValue(args, i), ECommandLineError);  // followed by an option
    i = 4;
    EXPECT_EQ(OptionValue(args, i), "-3");  // a wrong value, said so by the number's check
    i = 6;
    try {
        OptionValue(args, i);
        ADD_FAILURE();
    } catch (const ECommandLineError& e) {
        EXPECT_EQ(e.Message(), "--n needs a value");
    }
    EXPECT_TRUE(IsOptionArgument("-v"));
    EXPECT_FALSE(IsOptionArgument("-"));
    EXPECT_FALSE(IsOptionArgument("file"));
}

TEST(CommandLine, OutputFolderIsCreatedOrNamedInTheError) {
    veltest::TempDir dir;
    ForceOutputFolder(dir.File("a/b/c"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("a/b/c")));
    ForceOutputFolder(dir.File("a/b/c"));  // already there
    veltest::WriteFileText(dir.File("file"), "x");
    for (const std::string& bad : {dir.File("file"), dir.File("file/sub")}) {
        try {
            ForceOutputFolder(bad);
            ADD_FAILURE() << bad;
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.Message(), "Cannot create the folder '" + bad + "': Not a directory");
        }
    }
}
