// LIST mode.
#include "app/list_mode.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "app/algorithms.h"
#include "app/lines.h"
#include "app/ordered_work.h"
#include "app/output.h"
#include "app/progress.h"
#include "cmdline/params.h"
#include "platform/path_names.h"
#include "platform/platform.h"

namespace tarvolin::app {

void RunListMode() {
  const auto selected = SelectedList();
  const bool tee = RunSettings.TeeMode;
  ArmFailureSummary(-1);
  std::vector<const std::string*> items;
  for (const cmdline::TParamStatusRec& param : cmdline::ParamList) {
    if (!param.IsOption && !param.IsValue) items.push_back(&param.Param);
  }

  // What an item gives, worked out on any thread; its lines are written in item order.
  struct TItemResult {
    bool IsFile = false;
    bool Failed = false;
    std::string SizeText;
    std::vector<std::string> Digests;
  };
  TWorkerDigesters workers(items.size());
  const std::size_t threads = workers.Threads();
  const auto work = [&](std::size_t index, std::size_t worker) {
    const std::string& item = *items[index];
    TDigester& digester = workers.Of(worker);
    TItemResult result;
    result.IsFile = platform::IsExistingFile(item);
    if (result.IsFile) {
      if (Given(TOption::Size)) result.SizeText = SizeText(platform::FileSizeOf(item));
      result.Digests = digester.DigestsOfFile(selected, item, false, result.Failed);
    } else {
      for (const THashChoices choice : selected) {
        result.Digests.push_back(digester.DigestOfText(choice, item));
      }
    }
    return result;
  };
  // Bytes are counted for the items that are regular files.
  std::optional<TProgress> progress;
  progress.emplace(items.size(),
                   [&](std::size_t index) { return TProgress::RegularFileSize(*items[index]); });
  const auto consume = [&](std::size_t index, TItemResult& result) {
    progress->FileDone();
    const std::string& item = *items[index];
    BeginItemLines();
    const std::string name =
        result.IsFile && Given(TOption::HidePath) ? platform::NameOf(item) : item;
    for (std::size_t i = 0; i < selected.size(); ++i) {
      WriteResultLine(
          result.IsFile ? FileLine(selected[i], result.SizeText, result.Digests[i], kFileTag, name)
                        : TextLine(selected[i], result.Digests[i], item),
          tee);
    }
    EndItemLines(result.Failed);
    (result.Failed ? RunCounters.ErrorCount : RunCounters.SuccessCount) += 1;
    if (RunSettings.SelectedCount > 1 && RunSettings.SeparatorLines) {
      WriteResultLine(kSeparatorLine, tee);
    }
    return true;
  };
  RunInOrder<TItemResult>(items.size(), threads, threads * kItemsPerWorker, work, consume);
  progress.reset();
  if (Given(TOption::Count)) {
    WriteResultLine("Count = " + std::to_string(RunCounters.SuccessCount), tee);
  }
  CloseOutput();
  DisarmFailureSummary();
  if (Given(TOption::Summary)) {
    WriteSummaryFile(RunCounters.SuccessCount, RunCounters.SuccessCount, RunCounters.ErrorCount,
                     false, RunSettings.SummaryFile);
  }
}

}  // namespace tarvolin::app
