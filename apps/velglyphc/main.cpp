// Compiles the glyph sources (resources/glyphs/*.txt) into platform/graphics/GlyphData.cpp.
// Usage: velglyphc <glyph folder> <output .cpp>
#include <iostream>

#include "apps/velglyphc/GlyphCompiler.h"

int main(int argc, char** argv) { return velglyphc::Run(argc, argv, std::cout, std::cerr); }
