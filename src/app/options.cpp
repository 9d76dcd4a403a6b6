// The option lookups and the derived settings.
#include "app/options.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "app/dir_mode.h"
#include "cmdline/screen.h"
#include "platform/platform.h"

namespace tarvolin::app {

TRunSettings RunSettings;
TRunCounters RunCounters;

namespace {

/// CHECK mode's listings: the --check value, then every argument that is neither an option nor
/// a value and stands before -d (after it come the audit's wildcards). Each is made absolute
/// now, while the current folder is still the one the run started in.
void CollectCheckListings() {
  TRunSettings& s = RunSettings;
  const std::int32_t dir = Given(TOption::Dir) ? Lookup(TOption::Dir).Index : -1;
  for (std::size_t i = 0; i < cmdline::ParamList.size(); ++i) {
    const cmdline::TParamStatusRec& param = cmdline::ParamList[i];
    const auto index = static_cast<std::int32_t>(i);
    if (param.IsOption || param.IsValue || (dir >= 0 && index > dir)) continue;
    s.CheckListings.push_back({param.Param, param.Param});
  }
  std::string here = platform::CurrentDirectory();
  if (!here.empty() && !platform::IsPathSeparator(here.back())) here += platform::kPathSeparator;
  for (TCheckListing& listing : s.CheckListings) {
    if (listing.Path != "-" && !listing.Path.empty() && platform::RootLength(listing.Path) == 0) {
      listing.Path = here + listing.Path;
    }
  }
}

/// Normalizes the -d value. A value with ".." steps ("..", "sub/..") also makes that folder the
/// current one, for the rest of the run.
void SettleFolderAndCurrentDirectory() {
  RunSettings.Folder = NormalizeFolder(RunSettings.Folder);
}

}  // namespace

cmdline::TFindParamRec& Lookup(TOption option) {
  const auto index = static_cast<std::size_t>(option);
  if (cmdline::TFindParamRec* record = kOptionTable[index].EngineRecord) return *record;
  if (IsAlgorithmOption(option)) {
    return RunSettings.HashSelections[static_cast<std::size_t>(ChoiceOfOption(option))];
  }
  return RunSettings.Lookups[index];
}

bool Given(TOption option) {
  return Lookup(option).Found;
}

void ReadOptions() {
  TRunSettings& s = RunSettings;
  cmdline::TParamStatusArray& list = cmdline::ParamList;
  for (const TOptionRow& row : kOptionTable) {
    cmdline::TFindParamRec& record = Lookup(row.Option);
    switch (row.Kind) {
      case TOptionKind::Switch:
        cmdline::FindParam(record, list, row.Keywords);
        break;
      case TOptionKind::Flag: {
        bool found = false;
        cmdline::FindSwitch(record, list, row.Keywords, found);
        (row.Option == TOption::ErrorDelay ? cmdline::ErrorDelay : cmdline::AudibleError) = found;
        break;
      }
      case TOptionKind::Value: {
        std::string value;
        cmdline::FindParamValue(record, list, row.Keywords, value);
        if (row.Option == TOption::Dir) s.Folder = value;
        if (row.Option == TOption::Exc) s.ExclusionFile = value;
        if (row.Option == TOption::Out) s.OutputFile = value;
        if (row.Option == TOption::Summary) s.SummaryFile = value;
        if (row.Option == TOption::Check) s.CheckListings = {{value, value}};
        break;
      }
      case TOptionKind::TwoValues:
        cmdline::FindParamValues(record, list, row.Keywords, s.CompareFile1, s.CompareFile2);
        break;
      case TOptionKind::Number: {
        std::int64_t number = NumberDefault(row.Option);
        cmdline::FindParamNumber(record, list, row.Keywords, number, NumberDefault(row.Option));
        if (row.Option == TOption::Threads) {
          s.Threads = ThreadCount(number);
        } else {
          s.MaxSize = static_cast<std::uint64_t>(number);
        }
        break;
      }
    }
  }
  s.DirMode = Given(TOption::Dir);
  s.ExclusionOn = Given(TOption::Exc);

  // Derived settings, in this order.
  s.ListMode = true;
  s.CheckMode = Given(TOption::Check) && !Given(TOption::Compare);
  if (s.CheckMode) CollectCheckListings();
  // This may change the current folder, on purpose: the -o, -e, -u and -k files are only opened
  // later in the run, so when it does, a relative name among them is found from the -d folder,
  // not from the folder the run started in.
  SettleFolderAndCurrentDirectory();
  s.TeeMode = Given(TOption::Tee) && Given(TOption::Out);
  if (Given(TOption::DebugMode)) {
    cmdline::AudibleError = true;
    cmdline::ErrorDelay = true;
  }
  cmdline::HelpRequested = Given(TOption::Help) || Given(TOption::VersionOnly) ||
                           Given(TOption::Version) || Given(TOption::Info);
}

std::int32_t ThreadCount(std::int64_t requested) {
  if (requested > 0)
    return static_cast<std::int32_t>(std::min<std::int64_t>(requested, kMaxThreads));
  if (const char* text = std::getenv(kThreadsVariable); text != nullptr) {
    const std::string_view view(text);
    std::int64_t number = 0;
    const auto [rest, error] = std::from_chars(view.data(), view.data() + view.size(), number);
    if (error == std::errc{} && rest == view.data() + view.size() && number > 0) {
      return static_cast<std::int32_t>(std::min<std::int64_t>(number, kMaxThreads));
    }
  }
  return std::min(platform::UsableProcessorCount(), kMaxThreads);
}

std::int32_t ValidationLast() {
  const auto index = [](TOption option) -> std::int64_t { return Lookup(option).Index; };
  // An absent option counts as index -1, so an absent -d contributes 0.
  return static_cast<std::int32_t>(
      cmdline::MaxOf({index(TOption::List), index(TOption::Dir) + 1, index(TOption::Compare)}));
}

}  // namespace tarvolin::app
