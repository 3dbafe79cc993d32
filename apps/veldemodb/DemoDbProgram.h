#pragma once
// veldemodb's command line: veldemodb [file] [--orders N]
#include <iosfwd>
#include <string>
#include <vector>

#include "apps/veldemodb/DemoDatabase.h"
#include "platform/rtl/CommandLine.h"

namespace veldemodb {

struct TArguments {
    std::string File = "demo.db";
    vel::TDemoDatabaseOptions Options;
};

const vel::TProgramInfo& ProgramInfo();

// Raises ECommandLineError for an unknown option, a second file name or a bad count.
TArguments ParseArguments(const std::vector<std::string>& Args);

// The whole program; returns its exit status.
int Run(int Argc, const char* const* Argv, std::ostream& Out, std::ostream& Err);

}  // namespace veldemodb
