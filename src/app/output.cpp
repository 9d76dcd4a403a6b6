// Output routing and the summary file.
#include "app/output.h"

#include <deque>
#include <memory>

#include "app/options.h"
#include "cmdline/exit_codes.h"
#include "cmdline/params.h"
#include "files/unicode.h"
#include "platform/platform.h"
#include "platform/text_stream.h"

namespace tarvolin::app {

namespace {

constexpr std::size_t kOutputBufferSize = 65536;

/// The -o file while it is open.
std::unique_ptr<platform::TTextStream> OutputFileStream;

/// The end of one item's lines on the output (and on standard output in tee mode), in bytes
/// handed to each stream.
struct ItemMark {
  std::uint64_t Output = 0;
  std::uint64_t Tee = 0;
  bool Failed = false;
};

/// What a failed output write needs to know for the summary file.
struct FailureSummary {
  bool Armed = false;
  std::int64_t Total = -1;
  bool ItemOpen = false;
  /// Items whose lines are not yet known to have reached the output, oldest first.
  std::deque<ItemMark> Pending;
  /// The summary file was written and failed: it is not tried again.
  bool SummaryFailed = false;
};

FailureSummary Failure;

platform::TTextStream* TeeStream() {
  return RunSettings.TeeMode && RunSettings.CurrentOutput != &platform::StdOut()
             ? &platform::StdOut()
             : nullptr;
}

/// The folder part of a path ("." for a bare name) and its last part.
void SplitName(const std::string& path, std::string& folder, std::string& name) {
  const std::size_t root = platform::RootLength(path);
  const std::size_t separator = platform::LastSeparator(path);
  const std::size_t start = separator == std::string::npos ? root : std::max(separator + 1, root);
  folder = start == 0 ? std::string(".") : path.substr(0, start);
  name = path.substr(start);
}

}  // namespace

bool SameName(std::string_view first, std::string_view second) {
  if (!platform::kNamesIgnoreCase) return first == second;
  return files::UpperCaseUtf8(first) == files::UpperCaseUtf8(second);
}

std::string FileErrorLine(const std::string& name, const std::string& message) {
  return "File handling ERROR occurred with \"" + name + "\" -- " + message;
}

std::string DefaultSummaryFileName() {
  return platform::TemporaryFolderPrefix() + "#Tarvolin_Summary.TXT";
}

bool SameFile(const std::string& first, const std::string& second) {
  if (first.empty() || second.empty()) return false;
  platform::TFileId a;
  platform::TFileId b;
  const bool firstExists = platform::QueryFileId(first, a);
  const bool secondExists = platform::QueryFileId(second, b);
  if (firstExists || secondExists) return firstExists && secondExists && a == b;
  // Neither exists yet: the same name in the same folder is the file one of them will create.
  std::string firstFolder, firstName, secondFolder, secondName;
  SplitName(first, firstFolder, firstName);
  SplitName(second, secondFolder, secondName);
  return !firstName.empty() && SameName(firstName, secondName) &&
         platform::QueryFileId(firstFolder, a) && platform::QueryFileId(secondFolder, b) && a == b;
}

bool OpenOutputFile(const std::vector<std::string>& readByRun) {
  const std::string& name = RunSettings.OutputFile;
  if (name.empty()) {
    WriteErrorLine("ERROR: No Output File Provided!");
    cmdline::ExitStatus = cmdline::exit_code::kBadOutputFile;
    return false;
  }
  // Writing to a device or a pipe destroys no file; only a regular file (or a name that does
  // not exist yet) is checked.
  platform::TPathInfo target;
  const bool notAFile = platform::QueryPath(name, target) && !target.IsRegular;
  for (const std::string& input : notAFile ? std::vector<std::string>{} : readByRun) {
    if (SameFile(name, input)) {
      WriteErrorLine("ERROR: The output file \"" + name + "\" is also read by this run");
      cmdline::ExitStatus = cmdline::exit_code::kBadOutputFile;
      return false;
    }
  }
  const bool append = Given(TOption::Append) && platform::IsExistingFile(name);
  platform::TOutputHandle handle;
  std::string error;
  if (!handle.Open(
          name,
          append ? platform::TOutputHandle::TMode::Append : platform::TOutputHandle::TMode::Create,
          error)) {
    WriteErrorLine(FileErrorLine(name, error));
    cmdline::ExitStatus = cmdline::exit_code::kOutputWriteFailed;
    return false;
  }
  OutputFileStream =
      std::make_unique<platform::TTextStream>(std::move(handle), name, kOutputBufferSize, false);
  RunSettings.CurrentOutput = OutputFileStream.get();
  return true;
}

void WriteResultLine(const std::string& line, bool tee) {
  RunSettings.CurrentOutput->WriteLine(line);
  if (tee && RunSettings.CurrentOutput != &platform::StdOut()) platform::StdOut().WriteLine(line);
}

void WriteErrorLine(const std::string& line) {
  platform::StdErr().WriteLine(line);
}

void CloseOutput() {
  platform::TTextStream* output = RunSettings.CurrentOutput;
  if (output == &platform::StdOut()) {
    output->Flush();
  } else if (output != nullptr) {
    output->Close();
  }
  if (RunSettings.TeeMode) platform::StdOut().Flush();
}

void WriteSummaryFile(std::int64_t success, std::int64_t total, std::int64_t errors, bool aborted,
                      const std::string& name) {
  const bool defaultName = name.empty() || RunSettings.SummaryFileIsDefault;
  const std::string file = name.empty() ? RunSettings.DefaultSummaryFile : name;
  const std::string line = std::to_string(success) + "," + std::to_string(total) + "," +
                           std::to_string(errors) + "," + (aborted ? "TRUE" : "FALSE") +
                           platform::kLineEnd;
  // The default name lies in a folder every user may write to: whatever another user put there
  // under that name is refused rather than written through.
  const auto mode = defaultName ? platform::TOutputHandle::TMode::CreateOwnFile
                                : platform::TOutputHandle::TMode::Create;
  platform::TOutputHandle handle;
  std::string error;
  bool ok = handle.Open(file, mode, error) && handle.Write(line.data(), line.size(), error) &&
            handle.Close(error);
  if (!ok) {
    WriteErrorLine(FileErrorLine(file, error));
    cmdline::ExitStatus = cmdline::exit_code::kSummaryWriteFailed;
    Failure.SummaryFailed = true;
  }
}

void ArmFailureSummary(std::int64_t total) {
  Failure = FailureSummary{};
  Failure.Armed = Given(TOption::Summary);
  Failure.Total = total;
}

void DisarmFailureSummary() {
  Failure.Armed = false;
  Failure.Pending.clear();
}

void BeginItemLines() {
  if (Failure.Armed) Failure.ItemOpen = true;
}

void EndItemLines(bool failed) {
  if (!Failure.Armed) return;
  Failure.ItemOpen = false;
  const platform::TTextStream* output = RunSettings.CurrentOutput;
  const platform::TTextStream* tee = TeeStream();
  Failure.Pending.push_back({output->Accepted(), tee != nullptr ? tee->Accepted() : 0, failed});
  // Items whose lines have reached every stream they go to are settled.
  while (!Failure.Pending.empty() && Failure.Pending.front().Output <= output->Committed() &&
         (tee == nullptr || Failure.Pending.front().Tee <= tee->Committed())) {
    Failure.Pending.pop_front();
  }
}

void WriteFailureSummary(const platform::EWriteError& error) {
  if (!Failure.Armed || Failure.SummaryFailed) return;
  Failure.Armed = false;
  const platform::TTextStream* failed = error.Stream();
  const platform::TTextStream* tee = TeeStream();
  // Lines that went to another stream than the one that failed reached it; for an unknown
  // stream nothing pending is known to have been written.
  std::int64_t lostSuccesses = 0;
  for (const ItemMark& item : Failure.Pending) {
    bool lost = true;
    if (failed == RunSettings.CurrentOutput) lost = item.Output > failed->Committed();
    if (failed != nullptr && failed == tee) lost = item.Tee > failed->Committed();
    if (lost && !item.Failed) ++lostSuccesses;
  }
  const std::int64_t success = RunCounters.SuccessCount - lostSuccesses;
  const std::int64_t errors = RunCounters.ErrorCount + lostSuccesses + (Failure.ItemOpen ? 1 : 0);
  const std::int64_t total = Failure.Total < 0 ? success : Failure.Total;
  WriteSummaryFile(success, total, errors, true, RunSettings.SummaryFile);
}

}  // namespace tarvolin::app
