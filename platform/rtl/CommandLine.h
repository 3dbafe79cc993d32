#pragma once
// The top of every command line program: arguments checked, --help and --version, and no
// exception escaping main. A failure ends the program with one line on standard error naming
// the file and the cause, and a non-zero exit status.
#include <exception>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"

namespace vel {

// Arguments the program cannot run with. Exit status 2, the message and the usage line.
VEL_DECLARE_EXCEPTION(ECommandLineError, Exception)

struct TProgramInfo {
    std::string Name;   // as the program calls itself in messages: "veldemodb"
    std::string Usage;  // the synopsis after "usage: ": "veldemodb [file] [--orders N]"
    std::string Help;   // what --help prints after the usage line; ends with a newline
};

// The library's version, as --version prints it.
std::string VelVersion();

// The one line said about an exception that reached the top of a program: a vel::Exception's
// message; for a file system error the file(s) and the system's reason ("'out': Permission
// denied"); any other exception's what().
std::string DescribeException(std::exception_ptr e);

// Runs Body over the arguments after the program name. "--help" (or "-h") and "--version"
// print to Out and return 0 without running Body. ECommandLineError prints
// "<name>: <message>" and the usage to Err and returns 2; any other exception prints
// "<name>: <DescribeException>" and returns 1. Otherwise returns what Body returns.
int RunProgram(const TProgramInfo& Info, int Argc, const char* const* Argv,
               const std::function<int(const std::vector<std::string>&)>& Body,
               std::ostream& Out, std::ostream& Err);
int RunProgram(const TProgramInfo& Info, int Argc, const char* const* Argv,
               const std::function<int(const std::vector<std::string>&)>& Body);

// Helpers for parsing: each raises ECommandLineError naming the option or argument.
bool IsOptionArgument(const std::string& Arg);  // "-x", "--x"; not "-" or a plain name
// The value after Args[Index] (an option that needs one); advances Index to it.
const std::string& OptionValue(const std::vector<std::string>& Args, std::size_t& Index);
// A whole decimal number in [Min, Max]; "12x", "", "1e3" and out-of-range values raise.
int ParseIntArgument(const std::string& Option, const std::string& Text, int Min, int Max);

// Creates Dir and its parents for a program's output; raises EInOutError naming Dir and the
// system's reason (or that a file has that name).
void ForceOutputFolder(const std::string& Dir);

}  // namespace vel
