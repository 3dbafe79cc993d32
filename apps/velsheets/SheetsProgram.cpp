#include "apps/velsheets/SheetsProgram.h"

namespace velsheets {

const vel::TProgramInfo& ProgramInfo() {
    static const vel::TProgramInfo info{
        "velsheets", "velsheets [output folder]",
        "Draws the contact sheets of the platform graphics, glyphs.png and canvas.png, and the\n"
        "data grid's pictures, grid.png and grid-styles.png, into the folder (default\n"
        "docs/images), creating it when needed.\n"
        "  --help     this text\n"
        "  --version  the version\n"};
    return info;
}

std::string ParseArguments(const std::vector<std::string>& Args) {
    std::string dir;
    for (const std::string& arg : Args) {
        if (vel::IsOptionArgument(arg))
            throw vel::ECommandLineError("unknown option '" + arg + "'");
        if (!dir.empty())
            throw vel::ECommandLineError("one output folder only, not '" + dir + "' and '" +
                                         arg + "'");
        dir = arg;
    }
    return dir.empty() ? "docs/images" : dir;
}

}  // namespace velsheets
