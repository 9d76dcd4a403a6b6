// Command-line engine: the console streams, the syntax error screen, the error delay and the
// audible error.
#pragma once

#include <cstdint>
#include <string>

#include "platform/text_stream.h"

namespace tarvolin::cmdline {

/// Help screens, the key prompt and dash lines. Moves to standard error once a screen was shown.
extern platform::TTextStream* ConsoleOut;
/// Error screens, banner and build lines, version reader messages.
extern platform::TTextStream* ErrorOut;
/// Folder of the running program, without a trailing separator (except a root), quoted if spaced.
extern std::string ExecPath;
extern bool ErrorDelay;
extern bool AudibleError;
/// Which screen a syntax error shows: one of the two below.
extern std::int32_t SyntaxScreenKind;
inline constexpr std::int32_t kMessageScreen = 0;     ///< the message alone
inline constexpr std::int32_t kDefinitionScreen = 1;  ///< the message and the syntax definition

/// The message screen: title, execution path, command line, message.
void ShowSyntaxMessage(const std::string& message, bool delay, bool audible);
/// As the message screen, the message followed by "(See Syntax Definition Below)".
void ShowSyntaxScreen(const std::string& message, bool delay, bool audible);
/// Waits up to `ticks` quarter seconds for a key press, writing a dot per tick.
void WaitForKey(std::int32_t ticks, const std::string& prompt);
/// `width` hyphens on `ConsoleOut`, an extra line end when asked, then a line end.
void WriteDashLine(std::int32_t width, bool extraLineEnd);

}  // namespace tarvolin::cmdline
