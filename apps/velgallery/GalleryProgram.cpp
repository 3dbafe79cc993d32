#include "apps/velgallery/GalleryProgram.h"

#include <filesystem>

namespace velgallery {

const vel::TProgramInfo& ProgramInfo() {
    static const vel::TProgramInfo info{
        "velgallery", "velgallery [output file]",
        "Shows a form with every standard control: in a window with VEL_BACKEND=x11 and a\n"
        "display, otherwise captured offscreen to a PNG (default docs/images/controls.png).\n"
        "  --help     this text\n"
        "  --version  the version\n"};
    return info;
}

std::string ParseArguments(const std::vector<std::string>& Args) {
    std::string file;
    for (const std::string& arg : Args) {
        if (vel::IsOptionArgument(arg))
            throw vel::ECommandLineError("unknown option '" + arg + "'");
        if (!file.empty())
            throw vel::ECommandLineError("one output file only, not '" + file + "' and '" +
                                         arg + "'");
        file = arg;
    }
    if (file.empty()) file = "docs/images/controls.png";
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        throw vel::EInOutError("Cannot write the picture to '" + file + "': it is a folder");
    return file;
}

}  // namespace velgallery
