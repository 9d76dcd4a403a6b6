// The run sequence: every option looked up, the exclusive actions settled in their fixed order
// (help, version-only, version, info, then COMPARE over CHECK over DIR over LIST), exactly one of
// them run.
#include "app/run.h"

#include "app/algorithms.h"
#include "app/check_mode.h"
#include "app/compare_mode.h"
#include "app/dir_mode.h"
#include "app/help.h"
#include "app/lines.h"
#include "app/list_mode.h"
#include "app/options.h"
#include "app/output.h"
#include "cmdline/banner.h"
#include "cmdline/exit_codes.h"
#include "cmdline/params.h"
#include "cmdline/screen.h"
#include "cmdline/validation.h"
#include "platform/text_stream.h"
#include "version/version.h"

namespace tarvolin::app {

namespace {

bool VerboseGiven() {
  return cmdline::VerboseSwitch.Found;
}

/// --version: "tarvolin X.Y.Z" (the first three parts of the version), then the build line, on
/// standard output.
void ShowVersion() {
  const std::string full = version::FileVersion();
  std::size_t end = 0;
  for (int dots = 0; dots < 3 && end != std::string::npos; ++dots) end = full.find('.', end + 1);
  platform::TTextStream& out = platform::StdOut();
  std::string line = "tarvolin ";
  line += full.substr(0, end);
  out.WriteLine(line);
  out.WriteLine(cmdline::BuildLine(cmdline::VersionInfo));
}

/// A fresh run state: the arguments recorded, settings, counters and algorithm records cleared,
/// exit code 0, the keyword forms the program accepts (values may be attached, a long keyword
/// may follow a single "-"), the version record read, standard output as the output.
void StartRun(const std::vector<std::string>& arguments, const std::string& rawCommandLine) {
  cmdline::SetProcessArguments(arguments, rawCommandLine);
  cmdline::StartEngine();
  RunSettings = TRunSettings{};
  RunCounters = TRunCounters{};
  HashAlgorithms = THashChoicesArray{};
  cmdline::ExitStatus = cmdline::exit_code::kSuccess;
  cmdline::KeywordMode = cmdline::kKeywordsAttachedValues;
  cmdline::DoubleDashOnly = false;
  cmdline::ReadFileVersionInfo(cmdline::VersionInfo, "", true);
  RunSettings.DefaultSummaryFile = DefaultSummaryFileName();
  RunSettings.CurrentOutput = &platform::StdOut();
  CtrlCPressed = false;
  CtrlBreakPressed = false;
}

/// The files the run reads, or writes besides its output, that the output file must not be:
/// the compared files, or the listings of CHECK mode or the items of LIST mode; the exclusion
/// list; the summary file.
std::vector<std::string> FilesReadByRun() {
  std::vector<std::string> files;
  if (Given(TOption::Compare)) {
    files = {RunSettings.CompareFile1, RunSettings.CompareFile2};
  } else {
    for (const TCheckListing& listing : RunSettings.CheckListings) {
      if (listing.Path != "-") files.push_back(listing.Path);
    }
    if (RunSettings.ListMode) {
      for (const cmdline::TParamStatusRec& param : cmdline::ParamList) {
        if (!param.IsOption && !param.IsValue) files.push_back(param.Param);
      }
    }
    if (Given(TOption::Summary)) files.push_back(RunSettings.SummaryFile);
  }
  if (Given(TOption::Exc)) files.push_back(RunSettings.ExclusionFile);
  return files;
}

/// Looks every option up; settles the actions that end the run at once (the missing-parameter
/// and mismatch screens, help, version-only, version, info, in that order); prepares the run
/// (banner, algorithms and line layout, folder and exclusion list, summary and output file,
/// engines); then runs one mode: COMPARE over CHECK over DIR over LIST. Returns early wherever the
/// run ends.
void Run() {
  ReadOptions();
  cmdline::ValidateSyntax(cmdline::CustomValidation, cmdline::ParamList, cmdline::KeywordList, true,
                          -1, ValidationLast());

  if (cmdline::ParamList.empty() && !cmdline::HelpRequested) {
    SyntaxErrorExit(cmdline::SyntaxScreenKind, cmdline::exit_code::kMissingParameters,
                    "Missing Essential Parameters (e.g. -d <filename(s)> -L <files or text>" +
                        cmdline::HelpSwitchList + ")",
                    true);
    return;
  }
  if (Given(TOption::NoHash) && (!Given(TOption::Dir) || RunSettings.CheckMode) &&
      !cmdline::HelpRequested) {
    SyntaxErrorExit(cmdline::SyntaxScreenKind, cmdline::exit_code::kMismatchedParameters,
                    "Mismatched Parameters Used (e.g. --NOHASH --LIST)", true);
    return;
  }
  if (Given(TOption::Help)) {
    cmdline::ShowBanner(cmdline::VersionInfo, VerboseGiven(), true);
    ShowHelp(false);
    cmdline::ExitStatus = cmdline::exit_code::kHelpShown;
    return;
  }
  if (Given(TOption::VersionOnly)) {
    cmdline::ShowBanner(cmdline::VersionInfo, true, false);
    return;
  }
  if (Given(TOption::Version)) {
    ShowVersion();
    return;
  }
  if (Given(TOption::Info)) {
    cmdline::ShowBanner(cmdline::VersionInfo, true, true);
    return;
  }
  if (RunSettings.CheckMode && !CheckHashSwitches()) return;
  // The banner for -b or -v, before anything is checked. (AutoBanner is the engine's switch for
  // this early banner; this program never turns it off.)
  if (cmdline::AutoBanner && (Given(TOption::Banner) || VerboseGiven())) {
    cmdline::ShowBanner(cmdline::VersionInfo, VerboseGiven(), true);
  }

  BuildAlgorithmTable(HashAlgorithms);
  SelectAlgorithms();
  ApplyLayoutOptions();

  if (Given(TOption::Dir) || Given(TOption::Exc)) {
    RunSettings.ListMode = false;
    if (!CheckDirEntry()) return;
  }
  if (RunSettings.SummaryFile.empty()) {
    RunSettings.SummaryFile = RunSettings.DefaultSummaryFile;
    RunSettings.SummaryFileIsDefault = true;
  }
  if (Given(TOption::Out) && !OpenOutputFile(FilesReadByRun())) return;
  // The banner is requested a second time, for a host that turns AutoBanner off: its banner
  // then comes only once the folder, the exclusion list and the output file are accepted, and
  // -s or -i (which withdraw -b) leave it out. Here AutoBanner is on, so the banner has been
  // shown above and this request writes nothing: ShowBanner writes it at most once per run.
  if (Given(TOption::Banner) || VerboseGiven()) {
    cmdline::ShowBanner(cmdline::VersionInfo, VerboseGiven(), true);
  }
  if (!Given(TOption::NoHash)) CreateEngines(HashAlgorithms);

  if (Given(TOption::Compare)) {
    RunSettings.ListMode = false;
    RunSettings.DirMode = false;
    RunSettings.ExclusionOn = false;
    RunCompareMode();
  }
  if (RunSettings.CheckMode) {
    RunSettings.ListMode = false;
    RunSettings.DirMode = false;
    RunCheckMode();
  }
  if (RunSettings.DirMode) RunDirMode();
  if (RunSettings.ListMode) RunListMode();
}

/// The end of a run whose writes did not fail: whatever is still buffered reaches its file or
/// stream.
void EndRun() {
  if (RunSettings.CurrentOutput != nullptr && !RunSettings.CurrentOutput->IsClosed()) {
    CloseOutput();
  }
  platform::StdOut().Flush();
}

}  // namespace

std::atomic<bool> CtrlCPressed{false};
std::atomic<bool> CtrlBreakPressed{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flags are set in a signal handler");

bool ConsoleCtrlHandler(std::uint32_t eventType) {
  CtrlCPressed = false;
  CtrlBreakPressed = false;
  if (eventType == 0) CtrlCPressed = true;
  if (eventType == 1) CtrlBreakPressed = true;
  return CtrlCPressed || CtrlBreakPressed;
}

void SyntaxErrorExit(std::int32_t screenKind, std::int32_t exitCode, const std::string& message,
                     bool brief) {
  cmdline::ShowBanner(cmdline::VersionInfo, VerboseGiven(), true);
  if (!message.empty()) {
    if (screenKind == cmdline::kMessageScreen) {
      cmdline::ShowSyntaxMessage(message, cmdline::ErrorDelay, cmdline::AudibleError);
    } else {
      cmdline::ShowSyntaxScreen(message, cmdline::ErrorDelay, cmdline::AudibleError);
    }
  }
  ShowHelp(brief);
  cmdline::ExitStatus = exitCode;
}

int GenerateHashes(const std::vector<std::string>& arguments, const std::string& rawCommandLine) {
  try {
    StartRun(arguments, rawCommandLine);
    Run();
    EndRun();
  } catch (const platform::EWriteError& error) {
    // A result that cannot be written stops the run; what was written before stays written.
    // The output is closed even when it is the stream that failed (its unwritten lines were
    // dropped by the failed write), so its file is not left open.
    try {
      if (RunSettings.CurrentOutput != nullptr && !RunSettings.CurrentOutput->IsClosed()) {
        CloseOutput();
      }
    } catch (const platform::EWriteError&) {
    }
    try {
      WriteErrorLine(FileErrorLine(error.StreamName(), error.what()));
    } catch (const platform::EWriteError&) {
    }
    WriteFailureSummary(error);
    cmdline::ExitStatus = cmdline::exit_code::kOutputWriteFailed;
  }
  return cmdline::ExitStatus;
}

}  // namespace tarvolin::app
