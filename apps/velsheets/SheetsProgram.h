#pragma once
// velsheets' command line: velsheets [output folder]
#include <string>
#include <vector>

#include "platform/rtl/CommandLine.h"

namespace velsheets {

const vel::TProgramInfo& ProgramInfo();

// The folder for the sheets (default docs/images). Raises ECommandLineError for an option or
// a second folder.
std::string ParseArguments(const std::vector<std::string>& Args);

}  // namespace velsheets
