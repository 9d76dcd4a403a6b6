// CHECK mode: the files named in checksum listings hashed again and compared with the listed
// digests; with -d, an audit of that folder besides (files new to it, files moved in it).
#pragma once

namespace tarvolin::app {

/// Whether the hash switches given leave CHECK mode at most one algorithm for untagged lines;
/// writes the error and sets exit 66 when they do not.
bool CheckHashSwitches();

/// Reads every listing, checks every checksum line, audits the folder when -d is given, and
/// writes the result lines, the counts, the summary file and the exit code.
void RunCheckMode();

}  // namespace tarvolin::app
