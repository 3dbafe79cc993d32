// Compiles the glyph sources (resources/glyphs/*.txt) into platform/graphics/GlyphData.cpp.
// Usage: velglyphc <glyph folder> <output .cpp>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/graphics/Resources.h"
#include "platform/rtl/Exceptions.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: velglyphc <glyph folder> <output .cpp>\n";
        return 2;
    }
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(argv[1]))
        if (e.path().extension() == ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<vel::TGlyphSource> sources;
    for (const auto& f : files) {
        std::ifstream in(f);
        std::stringstream text;
        text << in.rdbuf();
        try {
            sources.push_back(vel::ParseGlyphSource(text.str()));
        } catch (const vel::Exception& e) {
            std::cerr << f.string() << ": " << e.Message() << "\n";
            return 1;
        }
    }
    const std::string out = argv[2];
    {
        std::ofstream o(out + ".tmp", std::ios::trunc);
        o << vel::GenerateGlyphData(sources);
        if (!o) {
            std::cerr << "cannot write " << out << "\n";
            return 1;
        }
    }
    fs::rename(out + ".tmp", out);
    std::cout << "wrote " << sources.size() << " glyph strips to " << out << "\n";
    return 0;
}
