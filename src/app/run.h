// The program's single thread of control: from the arguments to the exit code.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvolin::app {

/// Runs the whole sequence for the process arguments (program path first) and returns the exit
/// code. `rawCommandLine` is the command line as typed, where the system keeps one.
int GenerateHashes(const std::vector<std::string>& arguments,
                   const std::string& rawCommandLine = {});

/// Abort requests, set only by `ConsoleCtrlHandler` and read by DIR mode.
extern std::atomic<bool> CtrlCPressed;
extern std::atomic<bool> CtrlBreakPressed;

/// Turns CTRL-C (event 0) and CTRL-BREAK (event 1) into an abort request; other events are not
/// handled. Only stores the flags.
bool ConsoleCtrlHandler(std::uint32_t eventType);

/// Banner, error screen and brief help, then the exit code.
void SyntaxErrorExit(std::int32_t screenKind, std::int32_t exitCode, const std::string& message,
                     bool brief);

}  // namespace tarvolin::app
