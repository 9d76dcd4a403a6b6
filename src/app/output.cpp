// Output routing and the summary file.
#include "app/output.h"

#include <memory>

#include "app/options.h"
#include "cmdline/params.h"
#include "platform/platform.h"
#include "platform/text_stream.h"

namespace tarvolin::app {

namespace {

constexpr std::size_t kOutputBufferSize = 65536;

/// The -o file while it is open.
std::unique_ptr<platform::TTextStream> OutputFileStream;

}  // namespace

std::string FileErrorLine(const std::string& name, const std::string& message) {
  return "File handling ERROR occurred with \"" + name + "\" -- " + message;
}

std::string DefaultSummaryFileName() {
  return platform::TemporaryFolderPrefix() + "#Tarvolin_Summary.TXT";
}

bool OpenOutputFile() {
  const std::string& name = RunSettings.OutputFile;
  if (name.empty()) {
    WriteErrorLine("ERROR: No Output File Provided!");
    cmdline::ExitStatus = 102;
    return false;
  }
  const bool append = Given(TOption::Append) && platform::IsExistingFile(name);
  platform::TOutputHandle handle;
  std::string error;
  if (!handle.Open(
          name,
          append ? platform::TOutputHandle::TMode::Append : platform::TOutputHandle::TMode::Create,
          error)) {
    WriteErrorLine(FileErrorLine(name, error));
    cmdline::ExitStatus = 72;
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
  const std::string file = name.empty() ? RunSettings.DefaultSummaryFile : name;
  const std::string line = std::to_string(success) + "," + std::to_string(total) + "," +
                           std::to_string(errors) + "," + (aborted ? "TRUE" : "FALSE") +
                           platform::kLineEnd;
  platform::TOutputHandle handle;
  std::string error;
  bool ok = handle.Open(file, platform::TOutputHandle::TMode::Create, error) &&
            handle.Write(line.data(), line.size(), error) && handle.Close(error);
  if (!ok) {
    WriteErrorLine(FileErrorLine(file, error));
    cmdline::ExitStatus = 105;
  }
}

}  // namespace tarvolin::app
