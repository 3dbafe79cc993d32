#include "apps/veldemo/DemoProgram.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace veldemo {

const vel::TProgramInfo& ProgramInfo() {
    static const vel::TProgramInfo info{
        "veldemo", "veldemo <demo database> [--out folder]",
        "Shows the run-time layer at work, then the orders of the demo database (make demo\n"
        "builds one) in a window, or without a display as screenshots of a scripted tour.\n"
        "  --out folder  where the screenshots go (default out/demo)\n"
        "  --help        this text\n"
        "  --version     the version\n"};
    return info;
}

TArguments ParseArguments(const std::vector<std::string>& Args) {
    TArguments a;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        if (arg == "--out") {
            a.OutDir = vel::OptionValue(Args, i);
        } else if (vel::IsOptionArgument(arg)) {
            throw vel::ECommandLineError("unknown option '" + arg + "'");
        } else if (!a.Database.empty()) {
            throw vel::ECommandLineError("one database only, not '" + a.Database + "' and '" +
                                         arg + "'");
        } else {
            a.Database = arg;
        }
    }
    if (a.Database.empty()) throw vel::ECommandLineError("the demo database is missing");
    return a;
}

void CheckDatabaseFile(const std::string& File) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(File, ec);
    if (!fs::exists(st))
        throw vel::EInOutError("Cannot open the demo database '" + File +
                               "': it does not exist (make demo builds one)");
    if (fs::is_directory(st))
        throw vel::EInOutError("Cannot open the demo database '" + File + "': it is a folder");
    std::ifstream in(File, std::ios::binary);
    if (!in)
        throw vel::EInOutError("Cannot open the demo database '" + File +
                               "': " + std::strerror(errno));
}

}  // namespace veldemo
