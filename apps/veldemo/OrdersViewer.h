#pragma once
// The demo database's orders in a viewer on the grid base, until the data-aware grid exists.
#include <string>

namespace veldemo {

// Shows the orders of the demo database in DatabaseFile: in a real window when the backend can
// take input, otherwise by writing a scripted tour as PNG screenshots to OutDir. Raises when
// the database cannot be read. Returns the process exit code.
int RunOrdersViewer(const std::string& OutDir, const std::string& DatabaseFile);

}  // namespace veldemo
