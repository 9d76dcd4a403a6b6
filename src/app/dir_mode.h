// DIR mode: every matching file of a folder or tree, with exclusions, size limit, counters,
// the summary and the abort request.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/searcher.h"

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

// What CHECK mode's audit shares with DIR mode.

/// Whether CTRL-C or CTRL-BREAK (or SIGTERM) asked the run to stop.
bool AbortRequested();
/// An abort noticed before a file's lines: the abort line, exit 252, no counters, no summary.
void AbortInLoop(bool tee);
/// The files of the -d folder (of its tree with -r) that match the wildcards, without the
/// run's output and summary files, in the searcher's order. A folder that cannot be listed is
/// reported and counted in `folderErrors`. False for a malformed wildcard: reported, exit 100,
/// output closed.
bool CollectFolderFiles(files::StringList& fileList, std::int32_t& folderErrors);
/// Whether -m or -e leave the file out; `size` receives its size when -z or -m needs it (-1
/// otherwise).
bool FilteredOut(const std::string& path, std::int64_t& size);
/// The folder text a -f name leaves out: the folder as the search writes the paths it lists,
/// ended with a separator.
std::string ListedFolderPrefix(const std::string& folder);
/// Whether the path starts with the prefix, compared as the file system compares names.
bool StartsWithFolder(const std::string& path, const std::string& prefix);

}  // namespace tarvolin::app
