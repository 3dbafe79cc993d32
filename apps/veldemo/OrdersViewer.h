#pragma once
// A temporary orders viewer on the grid base, until the data-aware grid exists.
#include <string>

namespace veldemo {

// Shows the orders: in a real window when the backend can take input, otherwise by writing a
// scripted tour as PNG screenshots to OutDir. Returns the process exit code.
int RunOrdersViewer(const std::string& OutDir);

}  // namespace veldemo
