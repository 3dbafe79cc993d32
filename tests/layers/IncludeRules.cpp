#include "tests/layers/IncludeRules.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>

namespace veltest {

namespace fs = std::filesystem;

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// Each layer with the layers it may include besides itself.
const std::map<std::string, std::set<std::string>>& Below() {
    static const std::map<std::string, std::set<std::string>> below = {
        {"rtl", {}},
        {"classes", {"rtl"}},
        {"graphics", {"rtl", "classes"}},
        {"controls", {"rtl", "classes", "graphics"}},
        {"backends", {"rtl", "classes", "graphics", "controls"}},
        {"db", {"rtl", "classes"}},
        {"sqlite", {"rtl", "classes", "db"}},
        {"library", {"rtl", "classes", "graphics", "controls", "db", "sqlite"}},
        {"apps", {"rtl", "classes", "graphics", "controls", "db", "sqlite", "backends", "library"}},
        {"tests",
         {"rtl", "classes", "graphics", "controls", "db", "sqlite", "backends", "library", "apps"}},
    };
    return below;
}

// "platform/rtl/internal/X.h" -> "platform/rtl/"; "" when the path is no internal header.
std::string InternalOwner(const std::string& path) {
    auto at = path.find("/internal/");
    if (!StartsWith(path, "platform/") || at == std::string::npos) return {};
    return path.substr(0, at + 1);
}

// `#include "name"` with any blanks around the parts; angle-bracket includes are not ours.
bool QuotedInclude(const std::string& line, std::string& name) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return false;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0) return false;
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string::npos || line[i] != '"') return false;
    const std::size_t end = line.find('"', i + 1);
    if (end == std::string::npos) return false;
    name = line.substr(i + 1, end - i - 1);
    return true;
}

}  // namespace

std::string LayerOf(const std::string& path) {
    if (StartsWith(path, "platform/db/sqlite/")) return "sqlite";
    static const char* layers[] = {"rtl", "classes", "graphics", "controls", "db", "backends"};
    for (const char* l : layers)
        if (StartsWith(path, std::string("platform/") + l + "/")) return l;
    static const char* units[] = {"grid/",   "graphics/", "data/",    "filter/",
                                  "search/", "lists/",    "editors/", "components/"};
    for (const char* u : units)
        if (StartsWith(path, u)) return "library";
    if (StartsWith(path, "apps/")) return "apps";
    if (StartsWith(path, "tests/") || StartsWith(path, "bench/") || StartsWith(path, "fuzz/"))
        return "tests";
    return {};
}

bool MayInclude(const std::string& from, const std::string& to) {
    if (from == to) return true;
    auto it = Below().find(from);
    return it != Below().end() && it->second.count(to) > 0;
}

std::vector<TIncludeViolation> CheckIncludes(const fs::path& root) {
    std::vector<std::string> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string rel = fs::relative(it->path(), root).generic_string();
        if (it->is_directory() && (StartsWith(rel, "build") || StartsWith(rel, "out") ||
                                   StartsWith(rel, ".") || rel == "docs")) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string ext = it->path().extension().string();
        if (it->is_regular_file() && (ext == ".cpp" || ext == ".h") && !LayerOf(rel).empty())
            files.push_back(rel);
    }
    std::sort(files.begin(), files.end());

    std::vector<TIncludeViolation> found;
    for (const std::string& file : files) {
        std::ifstream in(root / file);
        std::string text;
        int line = 0;
        const std::string from = LayerOf(file);
        while (std::getline(in, text)) {
            ++line;
            std::string name;
            if (!QuotedInclude(text, name)) continue;
            auto report = [&](std::string reason) {
                found.push_back({file, line, name, std::move(reason)});
            };
            if (!fs::is_regular_file(root / name)) {
                report("not a path from the repository root");
                continue;
            }
            const std::string to = LayerOf(name);
            if (to.empty()) {
                report("outside the source tree");
            } else if (!MayInclude(from, to)) {
                report("layer " + from + " includes layer " + to + " above it");
            } else if (std::string owner = InternalOwner(name);
                       !owner.empty() && !StartsWith(file, owner)) {
                report("internal header of " + owner + " used outside it");
            }
        }
    }
    return found;
}

std::string Describe(const TIncludeViolation& v) {
    return v.File + ":" + std::to_string(v.Line) + ": \"" + v.Include + "\": " + v.Reason;
}

}  // namespace veltest
