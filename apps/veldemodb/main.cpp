// veldemodb: builds the demo database. Usage: veldemodb [file] [--orders N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "apps/veldemodb/DemoDatabase.h"
#include "platform/rtl/Exceptions.h"

int main(int argc, char** argv) {
    std::string file = "demo.db";
    vel::TDemoDatabaseOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--orders" && i + 1 < argc) {
            options.Orders = std::atoi(argv[++i]);
            if (options.Orders < 1) {
                std::fprintf(stderr, "veldemodb: --orders needs a positive count, not '%s'\n",
                             argv[i]);
                return 2;
            }
        } else {
            file = a;
        }
    }
    auto t0 = std::chrono::steady_clock::now();
    try {
        vel::BuildDemoDatabase(file, options);
    } catch (const vel::Exception& e) {
        std::fprintf(stderr, "veldemodb: %s\n", e.what());
        return 1;
    }
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("veldemodb: wrote %s (%d orders) in %.2f s\n", file.c_str(), options.Orders, s);
    return 0;
}
