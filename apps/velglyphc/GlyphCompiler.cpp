#include "apps/velglyphc/GlyphCompiler.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "platform/graphics/Resources.h"
#include "platform/rtl/SafeFile.h"

namespace velglyphc {

const vel::TProgramInfo& ProgramInfo() {
    static const vel::TProgramInfo info{
        "velglyphc", "velglyphc <glyph folder> <output .cpp>",
        "Compiles every glyph source (*.txt) of the folder into one C++ source.\n"
        "  --help     this text\n"
        "  --version  the version\n"};
    return info;
}

TArguments ParseArguments(const std::vector<std::string>& Args) {
    std::vector<std::string> names;
    for (const std::string& arg : Args) {
        if (vel::IsOptionArgument(arg))
            throw vel::ECommandLineError("unknown option '" + arg + "'");
        names.push_back(arg);
    }
    if (names.size() != 2)
        throw vel::ECommandLineError("needs a glyph folder and an output file, got " +
                                     std::to_string(names.size()) + " argument(s)");
    return {names[0], names[1]};
}

int CompileGlyphFolder(const std::string& Folder, const std::string& Output) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(Folder, ec))
        throw vel::EInOutError("Cannot read the glyph folder '" + Folder + "': " +
                               (fs::exists(Folder, ec) ? "it is not a folder"
                                                       : "it does not exist"));
    std::vector<fs::path> files;
    for (fs::directory_iterator it(Folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".txt") files.push_back(it->path());
    if (ec) throw vel::EInOutError("Cannot read the glyph folder '" + Folder + "': " + ec.message());
    std::sort(files.begin(), files.end());
    std::vector<vel::TGlyphSource> sources;
    for (const fs::path& f : files) {
        const std::string text = vel::ReadFileBytes(f.string());
        try {
            sources.push_back(vel::ParseGlyphSource(text));
        } catch (vel::Exception& e) {
            e.SetMessage(f.string() + ": " + e.Message());
            throw;
        }
    }
    vel::WriteFileAtomic(Output, vel::GenerateGlyphData(sources));
    return static_cast<int>(sources.size());
}

int Run(int Argc, const char* const* Argv, std::ostream& Out, std::ostream& Err) {
    return vel::RunProgram(ProgramInfo(), Argc, Argv, [&](const std::vector<std::string>& args) {
        const TArguments a = ParseArguments(args);
        const int n = CompileGlyphFolder(a.Folder, a.Output);
        Out << "wrote " << n << " glyph strips to " << a.Output << "\n";
        return 0;
    }, Out, Err);
}

}  // namespace velglyphc
