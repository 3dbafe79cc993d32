#pragma once
// velglyphc: compiles the glyph sources (resources/glyphs/*.txt) into a C++ source.
// Usage: velglyphc <glyph folder> <output .cpp>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/rtl/CommandLine.h"

namespace velglyphc {

const vel::TProgramInfo& ProgramInfo();

struct TArguments {
    std::string Folder, Output;
};
// Raises ECommandLineError unless there are exactly a folder and an output file.
TArguments ParseArguments(const std::vector<std::string>& Args);

// Reads every *.txt in Folder (in name order) and writes the generated source to Output,
// atomically. Returns the number of glyph strips. Raises EInOutError naming the folder or file
// that cannot be read or written, and an Exception naming the glyph file that does not parse;
// Output stays as it was then.
int CompileGlyphFolder(const std::string& Folder, const std::string& Output);

// The whole program; returns its exit status.
int Run(int Argc, const char* const* Argv, std::ostream& Out, std::ostream& Err);

}  // namespace velglyphc
