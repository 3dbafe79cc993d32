#pragma once
// veldemo's command line and the checks that turn a wrong file into a clear message before
// the database layer sees it: veldemo <demo database> [--out folder]
#include <string>
#include <vector>

#include "platform/rtl/CommandLine.h"

namespace veldemo {

struct TArguments {
    std::string Database;
    std::string OutDir = "out/demo";  // where the tour's screenshots go without a display
};

const vel::TProgramInfo& ProgramInfo();

// Raises ECommandLineError for a missing or second database, or an unknown option.
TArguments ParseArguments(const std::vector<std::string>& Args);

// Raises EInOutError naming File when it is missing, a folder or unreadable: the database
// layer would report these as an I/O error without the file.
void CheckDatabaseFile(const std::string& File);

}  // namespace veldemo
