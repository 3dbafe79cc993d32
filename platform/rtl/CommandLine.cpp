#include "platform/rtl/CommandLine.h"

#include <charconv>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace vel {

#ifndef VEL_VERSION
#define VEL_VERSION "unknown"
#endif

std::string VelVersion() { return VEL_VERSION; }

std::string DescribeException(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::filesystem::filesystem_error& fe) {
        // what() reads "filesystem error: <operation>: <reason> [p1] [p2]"; the paths first
        // and the reason are what a user acts on.
        std::string line;
        for (const auto* p : {&fe.path1(), &fe.path2()})
            if (!p->empty()) line += (line.empty() ? "'" : " and '") + p->string() + "'";
        return (line.empty() ? "" : line + ": ") + fe.code().message();
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& ex) {
        return ex.what();
    } catch (...) {
        return "an unknown error stopped the program";
    }
}

int RunProgram(const TProgramInfo& Info, int Argc, const char* const* Argv,
               const std::function<int(const std::vector<std::string>&)>& Body,
               std::ostream& Out, std::ostream& Err) {
    std::vector<std::string> args;
    for (int i = 1; i < Argc; ++i) args.emplace_back(Argv[i]);
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            Out << "usage: " << Info.Usage << "\n" << Info.Help;
            return 0;
        }
        if (a == "--version") {
            Out << Info.Name << " (VelGrid) " << VelVersion() << "\n";
            return 0;
        }
    }
    try {
        return Body(args);
    } catch (const ECommandLineError& e) {
        Err << Info.Name << ": " << e.Message() << "\nusage: " << Info.Usage << "\n";
        return 2;
    } catch (...) {
        Err << Info.Name << ": " << DescribeException(std::current_exception()) << "\n";
        return 1;
    }
}

int RunProgram(const TProgramInfo& Info, int Argc, const char* const* Argv,
               const std::function<int(const std::vector<std::string>&)>& Body) {
    const int status = RunProgram(Info, Argc, Argv, Body, std::cout, std::cerr);
    std::cout.flush();
    return status;
}

// "-5" is a (wrong) value, not an option, so that "--orders -5" says what is wrong with it.
bool IsOptionArgument(const std::string& Arg) {
    return Arg.size() > 1 && Arg[0] == '-' && !(Arg[1] >= '0' && Arg[1] <= '9');
}

const std::string& OptionValue(const std::vector<std::string>& Args, std::size_t& Index) {
    if (Index + 1 >= Args.size() || IsOptionArgument(Args[Index + 1]))
        throw ECommandLineError(Args[Index] + " needs a value");
    return Args[++Index];
}

int ParseIntArgument(const std::string& Option, const std::string& Text, int Min, int Max) {
    int v = 0;
    const char* end = Text.data() + Text.size();
    const auto [p, ec] = std::from_chars(Text.data(), end, v);
    if (Text.empty() || ec != std::errc() || p != end || v < Min || v > Max)
        throw ECommandLineError(Option + " needs a whole number from " + std::to_string(Min) +
                                " to " + std::to_string(Max) + ", not '" + Text + "'");
    return v;
}

void ForceOutputFolder(const std::string& Dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(Dir, ec);
    if (!ec && !fs::is_directory(Dir, ec)) ec = std::make_error_code(std::errc::not_a_directory);
    if (ec) throw EInOutError("Cannot create the folder '" + Dir + "': " + ec.message());
}

}  // namespace vel
