// DIR mode: every matching file of a folder or tree, with exclusions, size limit, counters,
// the summary and the abort request.
#pragma once

#include <string>
#include <vector>

namespace tarvolin::app {

/// The -d value made absolute where it names "." or "..", stripped of trailing blanks, ".", "*"
/// and separators, and ended with one separator; empty stays empty, the root stays the root.
/// Every separator is written as the native one. May change the current directory.
std::string NormalizeFolder(const std::string& text);

/// The wildcard specifications after the folder joined with ";", or "*" when there are none.
std::string JoinMaskList();

/// The folder and exclusion-list checks; false (with the exit code set) ends the run.
bool CheckDirEntry();

/// The file loop.
void RunDirMode();

}  // namespace tarvolin::app
