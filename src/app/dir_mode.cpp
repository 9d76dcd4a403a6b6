// DIR mode.
#include "app/dir_mode.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "app/algorithms.h"
#include "app/exclusions.h"
#include "app/lines.h"
#include "app/options.h"
#include "app/ordered_work.h"
#include "app/output.h"
#include "app/progress.h"
#include "app/run.h"
#include "cmdline/exit_codes.h"
#include "cmdline/params.h"
#include "cmdline/validation.h"
#include "files/masks.h"
#include "files/searcher.h"
#include "hash/hash.h"
#include "platform/path_names.h"
#include "platform/platform.h"

namespace tarvolin::app {

namespace {

constexpr char kSep = platform::kPathSeparator;

/// The exclusion list loaded by the entry checks.
TExclusionList ExclusionList;

/// Whether the text is `dots` alone or followed by one separator ("." or "./").
bool IsDotFolder(const std::string& text, std::string_view dots) {
  return text == dots ||
         (text.size() == dots.size() + 1 && text.compare(0, dots.size(), dots) == 0 &&
          platform::IsPathSeparator(text.back()));
}

/// Whether a separator followed by ".." occurs anywhere in the text.
bool HasParentStep(const std::string& text) {
  for (std::size_t at = text.find(".."); at != std::string::npos; at = text.find("..", at + 1)) {
    if (at > 0 && platform::IsPathSeparator(text[at - 1])) return true;
  }
  return false;
}

}  // namespace

std::string NormalizeFolder(const std::string& text) {
  const std::string sep(1, kSep);
  std::string folder = text;
  if (IsDotFolder(folder, ".")) {
    folder = platform::CurrentDirectory() + sep;
  } else if (IsDotFolder(folder, "..")) {
    if (platform::ChangeDirectory(platform::CurrentDirectory() + sep + "..")) {
      folder = platform::CurrentDirectory() + sep;
    }
  } else if (HasParentStep(folder) && platform::ChangeDirectory(folder)) {
    folder = platform::CurrentDirectory() + sep;
  }
  // Where "/" separates too (Windows), the folder is written with the native separator, as the
  // folder search writes the paths it lists: so -f finds the folder text in them.
  folder = platform::WithNativeSeparators(folder);
  const std::size_t root = platform::RootLength(folder);
  const auto last =
      folder.find_last_not_of(std::string(" .*") + std::string(platform::kPathSeparators));
  if (last == std::string::npos) {
    // Only blanks, dots, stars and separators: the root when it was absolute, else nothing.
    return root > 0 ? sep : std::string();
  }
  return folder.substr(0, last + 1) + sep;
}

std::string JoinMaskList() {
  const cmdline::TParamStatisticsRec& stats = cmdline::CustomValidation;
  if (stats.OutsideCount == 0) return "*";
  std::string masks;
  for (const std::string& part : cmdline::SplitWords(stats.OutsideList)) {
    if (!masks.empty()) masks += ';';
    masks += part;
  }
  std::erase(masks, '"');
  return masks;
}

bool CheckDirEntry() {
  TRunSettings& s = RunSettings;
  s.ListMode = false;
  if (!platform::IsExistingFolder(s.Folder)) {
    WriteErrorLine(s.Folder.empty() ? "ERROR: No Folder Provided!"
                                    : "ERROR: Could not Access Folder: \"" + s.Folder + "\"");
    cmdline::ExitStatus = cmdline::exit_code::kBadFolder;
    return false;
  }
  if (!Given(TOption::Exc)) return true;
  if (!platform::IsExistingFile(s.ExclusionFile)) {
    WriteErrorLine(s.ExclusionFile.empty()
                       ? "ERROR: No Exception List Provided!"
                       : "ERROR: Could not Access File: \"" + s.ExclusionFile + "\"");
    cmdline::ExitStatus = cmdline::exit_code::kBadExclusionFile;
    return false;
  }
  std::string error;
  if (!ExclusionList.Load(s.ExclusionFile, error)) {
    WriteErrorLine(FileErrorLine(s.ExclusionFile, error));
    cmdline::ExitStatus = cmdline::exit_code::kExclusionFileUnopened;
    return false;
  }
  return true;
}

bool AbortRequested() {
  return CtrlCPressed || CtrlBreakPressed;
}

std::string ListedFolderPrefix(const std::string& folder) {
  std::string prefix = files::NormalizeSearchFolder(folder);
  if (!prefix.empty() && !platform::IsPathSeparator(prefix.back())) prefix += kSep;
  return prefix;
}

bool StartsWithFolder(const std::string& path, const std::string& prefix) {
  return !prefix.empty() && path.size() >= prefix.size() &&
         SameName(std::string_view(path).substr(0, prefix.size()), prefix);
}

namespace {

/// The output file and the summary file are written by this run: listing them would give
/// digests of half-written files. They are left out of the walk.
void LeaveOutRunFiles(files::StringList& fileList) {
  std::vector<std::string> written;
  if (Given(TOption::Out) && RunSettings.CurrentOutput != &platform::StdOut()) {
    written.push_back(RunSettings.OutputFile);
  }
  if (Given(TOption::Summary)) written.push_back(RunSettings.SummaryFile);
  if (written.empty()) return;
  std::vector<std::string> names;
  for (const std::string& file : written) names.push_back(platform::NameOf(file));
  std::erase_if(fileList, [&](const std::string& path) {
    const std::string name = platform::NameOf(path);
    for (std::size_t k = 0; k < written.size(); ++k) {
      // Only a file of the same name is looked up.
      if (SameName(name, names[k]) && SameFile(path, written[k])) return true;
    }
    return false;
  });
}

}  // namespace

void AbortInLoop(bool tee) {
  DisarmFailureSummary();
  WriteResultLine(std::string(platform::kLineEnd) + "Processing Aborted...  ", tee);
  cmdline::ExitStatus = cmdline::exit_code::kAborted;
  CloseOutput();
}

bool CollectFolderFiles(files::StringList& fileList, std::int32_t& folderErrors) {
  // A folder that cannot be listed is reported and counted as an error; the walk goes on.
  folderErrors = 0;
  const auto onFolderError = [&folderErrors](const std::string& folder,
                                             const std::string& message) {
    WriteErrorLine(FileErrorLine(folder, message));
    ++folderErrors;
  };
  try {
    fileList = files::CollectFiles(RunSettings.Folder, JoinMaskList(), Given(TOption::RDir),
                                   platform::kAttrReadOnly | platform::kAttrHidden |
                                       platform::kAttrSystem | platform::kAttrDirectory,
                                   onFolderError);
  } catch (const files::EConvertError& error) {
    // A malformed wildcard is a bad DIR-mode parameter: report it before anything is hashed.
    WriteErrorLine(std::string("ERROR: ") + error.what());
    cmdline::ExitStatus = cmdline::exit_code::kBadFolder;
    CloseOutput();
    return false;
  }
  LeaveOutRunFiles(fileList);
  return true;
}

bool FilteredOut(const std::string& path, std::int64_t& size) {
  size = -1;
  bool tooLarge = false;
  if (Given(TOption::Size) || Given(TOption::MaxSize)) {
    size = platform::FileSizeOf(path);
    tooLarge = static_cast<std::uint64_t>(size) > RunSettings.MaxSize;
  }
  return tooLarge || (RunSettings.ExclusionOn && ExclusionList.Excludes(path));
}

void RunDirMode() {
  TRunSettings& s = RunSettings;
  TRunCounters& counters = RunCounters;
  const bool tee = s.TeeMode;
  const std::string masks = JoinMaskList();
  files::StringList fileList;
  std::int32_t folderErrors = 0;
  if (!CollectFolderFiles(fileList, folderErrors)) return;
  counters.ErrorCount = folderErrors;

  platform::InstallConsoleCtrlHandler(&ConsoleCtrlHandler);
  const auto selected = SelectedList();
  const bool noHash = Given(TOption::NoHash);
  const bool fsum = Given(TOption::Fsum);
  const std::string folderPrefix = ListedFolderPrefix(s.Folder);
  const std::function<bool()> stop = AbortRequested;
  const auto count = static_cast<std::int32_t>(fileList.size());
  ArmFailureSummary(count);

  // What a file gives, worked out on any thread; its lines are written in list order.
  struct TFileResult {
    bool Skipped = false;
    /// The abort request came before or while the file was read: it gets no line.
    bool Stopped = false;
    bool Failed = false;
    std::int64_t Size = -1;
    std::vector<std::string> Digests;
  };
  TWorkerDigesters workers(fileList.size());
  const std::size_t threads = workers.Threads();
  const auto work = [&](std::size_t index, std::size_t worker) {
    const std::string& path = fileList[index];
    TFileResult result;
    if (FilteredOut(path, result.Size)) {
      result.Skipped = true;
    } else if (AbortRequested()) {
      result.Stopped = true;
    } else if (noHash) {
      result.Digests.push_back(DateOfFile(path));
    } else {
      TDigester& digester = workers.Of(worker);
      try {
        // Only regular files were listed; whatever has taken a file's place since is refused.
        result.Digests = digester.DigestsOfFile(selected, path, false, result.Failed, true, stop);
      } catch (const hash::EReadStopped&) {
        result.Stopped = true;
      }
    }
    return result;
  };
  // Bytes are counted for the files -e and -m let through; a NOHASH run reads none.
  std::optional<TProgress> progress;
  progress.emplace(fileList.size(),
                   noHash ? TProgress::TSizeOf() : TProgress::TSizeOf([&](std::size_t index) {
                     std::int64_t size = -1;
                     if (FilteredOut(fileList[index], size)) return std::int64_t{-1};
                     return TProgress::RegularFileSize(fileList[index]);
                   }));
  bool aborted = false;
  const auto consume = [&](std::size_t index, TFileResult& result) {
    progress->FileDone();
    if (result.Skipped) return true;
    const std::string& path = fileList[index];
    std::string displayName = path;
    if (fsum) {
      s.SeparatorLines = false;
      // Only the leading folder goes: the same text further on is part of the name.
      if (StartsWithFolder(path, folderPrefix)) displayName = path.substr(folderPrefix.size());
    }
    if (Given(TOption::HidePath)) displayName = platform::NameOf(path);
    // A listing line holds one name: a line break in it is written escaped.
    const std::string escapeMark = fsum && EscapeListingName(displayName) ? "\\" : "";

    // A file the workers finished is written even when the request has come since: the lines
    // of every file finished before the first unfinished one are written.
    if (result.Stopped) {
      AbortInLoop(tee);
      aborted = true;
      return false;
    }
    const std::string sizeText = Given(TOption::Size)
                                     ? SizeTextUnsigned(static_cast<std::uint64_t>(result.Size))
                                     : std::string();
    BeginItemLines();
    const std::vector<THashChoices> noneOnly{THashChoices::None};
    const std::vector<THashChoices>& choices = noHash ? noneOnly : selected;
    for (std::size_t i = 0; i < choices.size(); ++i) {
      WriteResultLine(escapeMark + FileLine(choices[i], sizeText, result.Digests[i],
                                            Algorithm(choices[i]).FileTag, displayName),
                      tee);
    }
    EndItemLines(result.Failed);
    (result.Failed ? counters.ErrorCount : counters.SuccessCount) += 1;
    if (s.SelectedCount > 1 && s.SeparatorLines) WriteResultLine(kSeparatorLine, tee);
    return true;
  };
  RunInOrder<TFileResult>(fileList.size(), threads, threads * kItemsPerWorker, work, consume);
  progress.reset();
  if (aborted) return;

  if (AbortRequested()) {
    // The request came while the last files were hashed or skipped.
    const std::int32_t position = count > 0 ? count - 1 : 0;
    WriteResultLine("Success = " + std::to_string(position) + " of " + std::to_string(count) +
                        " (Max Unfiltered)   Error = " + std::to_string(counters.ErrorCount),
                    tee);
    CloseOutput();
    DisarmFailureSummary();
    if (Given(TOption::Summary)) {
      WriteSummaryFile(position, count, counters.ErrorCount, true, s.SummaryFile);
    }
    cmdline::ExitStatus = cmdline::exit_code::kAborted;
    return;
  }

  counters.TotalFiles = count;
  fileList.clear();
  if (Given(TOption::Summary)) {
    WriteSummaryFile(counters.SuccessCount, counters.TotalFiles, counters.ErrorCount,
                     AbortRequested(), s.SummaryFile);
  }
  if (Given(TOption::Count)) {
    WriteResultLine("Success = " + std::to_string(counters.SuccessCount) +
                        "   Unfiltered = " + std::to_string(counters.TotalFiles) +
                        "   Error = " + std::to_string(counters.ErrorCount),
                    tee);
  }
  if (counters.SuccessCount == 0) {
    const std::string line = "No Files Found in \"" + s.Folder + "\" matching \"" + masks + "\"";
    if (Given(TOption::ShowZero)) {
      WriteResultLine(line, tee);
    } else {
      WriteErrorLine(line);
    }
  }
  CloseOutput();
  DisarmFailureSummary();
}

}  // namespace tarvolin::app
