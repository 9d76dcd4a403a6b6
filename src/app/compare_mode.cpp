// COMPARE mode.
#include "app/compare_mode.h"

#include "app/algorithms.h"
#include "app/lines.h"
#include "app/output.h"
#include "cmdline/exit_codes.h"
#include "cmdline/params.h"
#include "platform/platform.h"

namespace tarvolin::app {

void RunCompareMode() {
  TRunSettings& s = RunSettings;
  s.ListMode = false;
  s.DirMode = false;
  s.ExclusionOn = false;
  if (s.CompareFile1.empty() || s.CompareFile2.empty()) {
    WriteErrorLine("ERROR: Two Files Are Needed For Comparison!");
    cmdline::ExitStatus = cmdline::exit_code::kCompareNamesMissing;
    return;
  }
  if (!platform::IsExistingFile(s.CompareFile1) || !platform::IsExistingFile(s.CompareFile2)) {
    WriteErrorLine("ERROR: Could Not Open Selected Files for Comparison!");
    cmdline::ExitStatus = cmdline::exit_code::kCompareFileUnopened;
    return;
  }
  // Each file is read once for all algorithms; a failure marks every line of that file.
  const auto selected = SelectedList();
  bool failed1 = false;
  bool failed2 = false;
  const auto first = DigestsOfFile(selected, s.CompareFile1, true, failed1);
  const auto second = DigestsOfFile(selected, s.CompareFile2, true, failed2);
  for (std::size_t i = 0; i < selected.size(); ++i) {
    const char* verdict = (failed1 || failed2)    ? "ERROR "
                          : first[i] == second[i] ? "TRUE  "
                                                  : "FALSE ";
    WriteResultLine(CompareLine(selected[i], verdict, first[i], second[i]), s.TeeMode);
  }
  CloseOutput();
}

}  // namespace tarvolin::app
