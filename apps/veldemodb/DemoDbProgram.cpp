#include "apps/veldemodb/DemoDbProgram.h"

#include <chrono>
#include <iomanip>
#include <ostream>

namespace veldemodb {

const vel::TProgramInfo& ProgramInfo() {
    static const vel::TProgramInfo info{
        "veldemodb", "veldemodb [file] [--orders N]",
        "Builds the demo database (default demo.db): customers, employees, products, orders.\n"
        "  --orders N   how many orders to generate (default 100000)\n"
        "  --help       this text\n"
        "  --version    the version\n"};
    return info;
}

TArguments ParseArguments(const std::vector<std::string>& Args) {
    TArguments a;
    bool haveFile = false;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        if (arg == "--orders") {
            a.Options.Orders = vel::ParseIntArgument(arg, vel::OptionValue(Args, i), 1, 10000000);
        } else if (vel::IsOptionArgument(arg)) {
            throw vel::ECommandLineError("unknown option '" + arg + "'");
        } else if (haveFile) {
            throw vel::ECommandLineError("one database file only, not '" + a.File + "' and '" +
                                         arg + "'");
        } else {
            a.File = arg;
            haveFile = true;
        }
    }
    return a;
}

int Run(int Argc, const char* const* Argv, std::ostream& Out, std::ostream& Err) {
    return vel::RunProgram(ProgramInfo(), Argc, Argv, [&](const std::vector<std::string>& args) {
        const TArguments a = ParseArguments(args);
        const auto t0 = std::chrono::steady_clock::now();
        vel::BuildDemoDatabase(a.File, a.Options);
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        Out << "veldemodb: wrote " << a.File << " (" << a.Options.Orders << " orders) in "
            << std::fixed << std::setprecision(2) << s << " s\n";
        return 0;
    }, Out, Err);
}

}  // namespace veldemodb
