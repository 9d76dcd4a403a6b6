// The program's single thread of control: from the arguments to the exit code.
#pragma once

#include <string>
#include <vector>

namespace tarvolin::app {

/// Runs the whole sequence for the given arguments (program path excluded) and returns the
/// exit code.
int GenerateHashes(const std::vector<std::string>& arguments);

}  // namespace tarvolin::app
