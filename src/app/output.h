// Output routing: the current output (standard output or the -o file), the result line writer
// and the one-line summary file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::platform {
class EWriteError;
}

namespace tarvolin::app {

/// "$TEMP/#Tarvolin_Summary.TXT", falling back to $TMPDIR and then /tmp.
std::string DefaultSummaryFileName();

/// Opens the -o file (append with -a when it exists) as the current output. Refuses, before
/// anything is written, an output file that is one of `readByRun` (it would be destroyed before
/// it is read). On failure writes the error line, sets the exit code (102 or 72) and returns
/// false.
bool OpenOutputFile(const std::vector<std::string>& readByRun);

/// Whether two file names are one name to the file system: exactly equal on POSIX, equal
/// without regard to letter case on Windows.
bool SameName(std::string_view first, std::string_view second);

/// Whether two names name the same file: the same file where both exist, the same name in the
/// same folder where neither does yet.
bool SameFile(const std::string& first, const std::string& second);

/// Writes one line to the current output and, with `tee`, to standard output as well.
void WriteResultLine(const std::string& line, bool tee);

/// Writes one line on standard error.
void WriteErrorLine(const std::string& line);

/// Flushes and closes the current output; it receives nothing afterwards.
void CloseOutput();

/// Writes "success,total,errors,TRUE|FALSE" to the summary file (empty name: the default).
/// On failure writes the error line and sets exit code 105; the run goes on.
void WriteSummaryFile(std::int64_t success, std::int64_t total, std::int64_t errors, bool aborted,
                      const std::string& name);

// A result line that cannot be written stops the run. The summary file must then not tell of
// a clean run: the run counts as aborted, and every item whose lines may not have reached the
// output counts as an error.

/// From here on, until `DisarmFailureSummary`, a failed write of the output leaves an aborted
/// run's summary. `total` is the number of files found (DIR); negative for the LIST rule (the
/// total is the success count).
void ArmFailureSummary(std::int64_t total);
void DisarmFailureSummary();
/// Brackets the lines of one item (a file of DIR mode, an item of LIST mode) on the output; the
/// counters are updated after `EndItemLines`.
void BeginItemLines();
void EndItemLines(bool failed);
/// After a failed write of the output: the summary of an aborted run, when one is armed.
void WriteFailureSummary(const platform::EWriteError& error);

/// "File handling ERROR occurred with "NAME" -- MESSAGE".
std::string FileErrorLine(const std::string& name, const std::string& message);

}  // namespace tarvolin::app
