// Command-line engine: the console streams, the syntax error screen, the error delay and the
// audible error.
#include "cmdline/screen.h"

#include "cmdline/engine_internal.h"
#include "cmdline/params.h"
#include "platform/path_names.h"
#include "platform/platform.h"

namespace tarvolin::cmdline {

platform::TTextStream* ConsoleOut = &platform::StdOut();
platform::TTextStream* ErrorOut = &platform::StdErr();
std::string ExecPath;
bool ErrorDelay = false;
bool AudibleError = false;
std::int32_t SyntaxScreenKind = kMessageScreen;

namespace {

constexpr const char* kDelayPrompt = "Press Any Key to Continue...";
constexpr std::int32_t kDelayTicks = 30;
constexpr int kTickMilliseconds = 250;

void ShowScreen(const std::string& messageLine, bool delay, bool audible) {
  // From here on everything meant for the console goes to standard error with the screen.
  ConsoleOut = ErrorOut;
  ErrorOut->WriteLine("Invalid or Incomplete Syntax!");
  ErrorOut->WriteLine("");
  ErrorOut->WriteLine("Execution Path ... " + ExecPath);
  ErrorOut->WriteLine("You entered ...... " + RawCommandLine());
  ErrorOut->WriteLine("");
  ErrorOut->WriteLine(messageLine);
  ErrorOut->WriteLine("");
  ErrorOut->Flush();
  if (audible) platform::Beep();
  if (delay) WaitForKey(kDelayTicks, kDelayPrompt);
}

}  // namespace

namespace detail {

void ResetScreenState() {
  ConsoleOut = &platform::StdOut();
  ErrorOut = &platform::StdErr();
  ExecPath = QuoteIfSpaced(platform::FolderOf(platform::ProgramPath()));
  ErrorDelay = false;
  AudibleError = false;
  SyntaxScreenKind = kMessageScreen;
}

}  // namespace detail

void ShowSyntaxMessage(const std::string& message, bool delay, bool audible) {
  ShowScreen(message, delay, audible);
}

void ShowSyntaxScreen(const std::string& message, bool delay, bool audible) {
  const bool endsWithBlank = !message.empty() && message.back() == ' ';
  ShowScreen(message + (endsWithBlank ? "" : " ") + "(See Syntax Definition Below)", delay,
             audible);
}

void WaitForKey(std::int32_t ticks, const std::string& prompt) {
  platform::BeginKeyPolling();
  try {
    ConsoleOut->Write(prompt);
    ConsoleOut->Flush();
    for (std::int32_t counted = 0; counted < ticks && !platform::KeyPending(); ++counted) {
      platform::SleepMilliseconds(kTickMilliseconds);
      ConsoleOut->Write(".");
      ConsoleOut->Flush();
    }
  } catch (...) {
    platform::EndKeyPolling();
    throw;
  }
  platform::EndKeyPolling();
  ConsoleOut->WriteLine("");
  ConsoleOut->WriteLine("");
  ConsoleOut->Flush();
}

void WriteDashLine(std::int32_t width, bool extraLineEnd) {
  std::string line(width > 0 ? static_cast<std::size_t>(width) : 0, '-');
  if (extraLineEnd) line += platform::kLineEnd;
  ConsoleOut->WriteLine(line);
}

}  // namespace tarvolin::cmdline
