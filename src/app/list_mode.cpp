// LIST mode.
#include "app/list_mode.h"

#include "app/algorithms.h"
#include "app/lines.h"
#include "app/output.h"
#include "cmdline/params.h"
#include "platform/path_names.h"
#include "platform/platform.h"

namespace tarvolin::app {

void RunListMode() {
  const auto selected = SelectedList();
  const bool tee = RunSettings.TeeMode;
  ArmFailureSummary(-1);
  for (const cmdline::TParamStatusRec& param : cmdline::ParamList) {
    if (param.IsOption || param.IsValue) continue;
    const std::string& item = param.Param;
    bool itemError = false;
    BeginItemLines();
    if (platform::IsExistingFile(item)) {
      const std::string sizeText =
          Given(TOption::Size) ? SizeText(platform::FileSizeOf(item)) : std::string();
      const std::string name = Given(TOption::HidePath) ? platform::NameOf(item) : item;
      const auto digests = DigestsOfFile(selected, item, false, itemError);
      for (std::size_t i = 0; i < selected.size(); ++i) {
        WriteResultLine(FileLine(selected[i], sizeText, digests[i], kFileTag, name), tee);
      }
    } else {
      for (const THashChoices choice : selected) {
        WriteResultLine(TextLine(choice, DigestOfText(choice, item), item), tee);
      }
    }
    EndItemLines(itemError);
    if (itemError) {
      RunCounters.ErrorCount += 1;
    } else {
      RunCounters.SuccessCount += 1;
    }
    if (RunSettings.SelectedCount > 1 && RunSettings.SeparatorLines) {
      WriteResultLine(kSeparatorLine, tee);
    }
  }
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
