// Output routing: the current output (standard output or the -o file), the result line writer
// and the one-line summary file.
#pragma once

#include <cstdint>
#include <string>

namespace tarvolin::app {

/// "$TEMP/#Tarvolin_Summary.TXT", falling back to $TMPDIR and then /tmp.
std::string DefaultSummaryFileName();

/// Opens the -o file (append with -a when it exists) as the current output. On failure writes
/// the error line, sets the exit code (102 or 72) and returns false.
bool OpenOutputFile();

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

/// "File handling ERROR occurred with "NAME" -- MESSAGE".
std::string FileErrorLine(const std::string& name, const std::string& message);

}  // namespace tarvolin::app
