#pragma once
// The include rules of the tree, checked over the sources: every quoted include names a file
// by its path from the repository root, no layer includes a layer above it, and a layer's
// internal/ headers stay inside that layer.
#include <filesystem>
#include <string>
#include <vector>

namespace veltest {

struct TIncludeViolation {
    std::string File;  // path from the root of the including file
    int Line = 0;
    std::string Include;  // the quoted name
    std::string Reason;
};

// The layer a path from the root belongs to ("rtl", "classes", …, "sqlite", "backends",
// "library", "apps", "tests"), or "" for files outside the checked tree.
std::string LayerOf(const std::string& path);
// Whether a file of layer From may include a file of layer To.
bool MayInclude(const std::string& from, const std::string& to);

std::vector<TIncludeViolation> CheckIncludes(const std::filesystem::path& root);
std::string Describe(const TIncludeViolation& v);

}  // namespace veltest
