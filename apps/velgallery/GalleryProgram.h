#pragma once
// velgallery's command line: velgallery [output file]
#include <string>
#include <vector>

#include "platform/rtl/CommandLine.h"

namespace velgallery {

const vel::TProgramInfo& ProgramInfo();

// The PNG file to write. Raises ECommandLineError for an option or a second file, and
// EInOutError when the file names a folder.
std::string ParseArguments(const std::vector<std::string>& Args);

}  // namespace velgallery
