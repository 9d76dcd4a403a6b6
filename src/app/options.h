// The option table, the run settings it fills and the run counters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/choices.h"
#include "cmdline/params.h"
#include "platform/text_stream.h"

namespace tarvolin::app {

/// The options, one per table row, in lookup order.
enum class TOption : std::int32_t {
  DebugMode,
  ErrorDelay,
  AudibleError,
  Help,
  Verbose,
  VersionOnly,
  Info,
  Banner,
  Count,
  Prefix,
  List,
  Dir,
  RDir,
  Exc,
  Out,
  Append,
  Tee,
  Fsum,
  Simple,
  ShowZero,
  HidePath,
  Size,
  MaxSize,
  Summary,
  Compare,
  All,
  /// The first algorithm row. One row per choice follows, in `THashChoices` order from None
  /// (this row) on: `OptionOfChoice` names them, `kChoiceInfo` holds their keywords.
  NoHash,
  /// The rows after the algorithm rows.
  Check = static_cast<std::int32_t>(NoHash) + static_cast<std::int32_t>(kChoiceCount),
  Quiet,
  Threads,
  Version,
  NoProgress,
};
/// The rows before the algorithm rows, the rows after them, and all rows.
inline constexpr std::size_t kSettingOptionCount = static_cast<std::size_t>(TOption::NoHash);
inline constexpr std::size_t kLateOptionCount = 5;
inline constexpr std::size_t kOptionCount = kSettingOptionCount + kChoiceCount + kLateOptionCount;

/// The algorithm row of a choice.
constexpr TOption OptionOfChoice(THashChoices choice) {
  return static_cast<TOption>(static_cast<std::int32_t>(TOption::NoHash) +
                              static_cast<std::int32_t>(choice));
}

/// Whether the row is an algorithm row.
constexpr bool IsAlgorithmOption(TOption option) {
  return option >= TOption::NoHash && option < TOption::Check;
}

/// The choice an algorithm row selects; None for every row that is not an algorithm.
constexpr THashChoices ChoiceOfOption(TOption option) {
  if (!IsAlgorithmOption(option)) return THashChoices::None;
  return static_cast<THashChoices>(static_cast<std::int32_t>(option) -
                                   static_cast<std::int32_t>(TOption::NoHash));
}

/// How a row is looked up.
enum class TOptionKind { Switch, Flag, Value, TwoValues, Number };

struct TOptionRow {
  TOption Option;
  const char* Keywords;
  TOptionKind Kind;
  /// Where the lookup is kept when it is one of the engine's standard switches; null otherwise.
  cmdline::TFindParamRec* EngineRecord = nullptr;
};

// clang-format off
/// The rows before the algorithm rows.
inline constexpr std::array<TOptionRow, kSettingOptionCount> kSettingOptionRows = {{
    {TOption::DebugMode, "DEBUG DEBUG-MODE", TOptionKind::Switch, &cmdline::DebugModeSwitch},
    {TOption::ErrorDelay, "ERROR-DELAY", TOptionKind::Flag, &cmdline::ErrorDelaySwitch},
    {TOption::AudibleError, "AUDIBLE-ERROR", TOptionKind::Flag, &cmdline::AudibleErrorSwitch},
    {TOption::Help, "H HELP ? HELP2 H2 ??", TOptionKind::Switch, &cmdline::HelpSwitch},
    {TOption::Verbose, "V VERBOSE BUILD HELP2 H2 ??", TOptionKind::Switch, &cmdline::VerboseSwitch},
    {TOption::VersionOnly, "VERSION-ONLY BUILD-ONLY", TOptionKind::Switch,
     &cmdline::VersionOnlySwitch},
    {TOption::Info, "INFO", TOptionKind::Switch, &cmdline::InfoSwitch},
    {TOption::Banner, "B BANNER", TOptionKind::Switch, &cmdline::BannerSwitch},
    {TOption::Count, "C COUNT", TOptionKind::Switch},
    {TOption::Prefix, "P PREFIX", TOptionKind::Switch},
    {TOption::List, "L LIST", TOptionKind::Switch},
    {TOption::Dir, "D DIR", TOptionKind::Value},
    {TOption::RDir, "R RDIR", TOptionKind::Switch},
    {TOption::Exc, "E EXC", TOptionKind::Value},
    {TOption::Out, "O OUT", TOptionKind::Value},
    {TOption::Append, "A APPEND", TOptionKind::Switch},
    {TOption::Tee, "T TEE", TOptionKind::Switch},
    {TOption::Fsum, "F FSUM", TOptionKind::Switch},
    {TOption::Simple, "S SIMPLE", TOptionKind::Switch},
    {TOption::ShowZero, "W SHOWZERO", TOptionKind::Switch},
    {TOption::HidePath, "I HIDEPATH", TOptionKind::Switch},
    {TOption::Size, "Z SIZE", TOptionKind::Switch},
    {TOption::MaxSize, "M MAX MAXSIZE", TOptionKind::Number},
    {TOption::Summary, "U SUMMARY", TOptionKind::Value},
    {TOption::Compare, "K COMPARE", TOptionKind::TwoValues},
    {TOption::All, "@ ALL", TOptionKind::Switch},
}};

/// The rows after the algorithm rows: the later additions, looked up last so that no earlier
/// lookup changes.
inline constexpr std::array<TOptionRow, kLateOptionCount> kLateOptionRows = {{
    {TOption::Check, "CHECK VERIFY", TOptionKind::Value},
    {TOption::Quiet, "QUIET", TOptionKind::Switch},
    {TOption::Threads, "J THREADS", TOptionKind::Number},
    {TOption::Version, "VERSION", TOptionKind::Switch},
    {TOption::NoProgress, "NO-PROGRESS", TOptionKind::Switch},
}};
// clang-format on

/// Every row, in lookup order: the setting rows, one switch per choice, the late rows.
inline constexpr std::array<TOptionRow, kOptionCount> kOptionTable = [] {
  std::array<TOptionRow, kOptionCount> rows{};
  std::size_t at = 0;
  for (const TOptionRow& row : kSettingOptionRows) rows[at++] = row;
  for (const ChoiceInfo& info : kChoiceInfo) {
    rows[at++] = {OptionOfChoice(info.Choice), info.Keywords, TOptionKind::Switch};
  }
  for (const TOptionRow& row : kLateOptionRows) rows[at++] = row;
  return rows;
}();

// `Lookup` finds an option's row at the option's index, and `ChoiceOfOption` takes an algorithm
// row's choice from its distance to the first algorithm row.
static_assert(
    [] {
      for (std::size_t i = 0; i < kOptionCount; ++i) {
        const TOptionRow& row = kOptionTable[i];
        if (row.Option != static_cast<TOption>(i) || row.Keywords == nullptr) return false;
      }
      return true;
    }(),
    "one complete row per option, in TOption order");
static_assert(
    [] {
      for (std::size_t i = kSettingOptionCount; i < kSettingOptionCount + kChoiceCount; ++i) {
        const TOptionRow& row = kOptionTable[i];
        const auto choice = static_cast<THashChoices>(i - kSettingOptionCount);
        if (ChoiceOfOption(row.Option) != choice || OptionOfChoice(choice) != row.Option) {
          return false;
        }
        if (row.Keywords != kChoiceInfo[i - kSettingOptionCount].Keywords) return false;
        if (row.Kind != TOptionKind::Switch || row.EngineRecord != nullptr) return false;
      }
      return true;
    }(),
    "the algorithm rows are switches for the choices in THashChoices order, None first");

inline constexpr std::int64_t kDefaultMaxSize = 9223372036854775807LL;
/// What a number row's lookup gives when its value is absent or unreadable: -m no limit, -j 0
/// (the default thread count).
constexpr std::int64_t NumberDefault(TOption option) {
  return option == TOption::Threads ? 0 : kDefaultMaxSize;
}
/// The environment variable that gives the thread count when -j does not.
inline constexpr const char* kThreadsVariable = "TARVOLIN_THREADS";
/// More threads than this are not started, whatever -j or TARVOLIN_THREADS asks.
inline constexpr std::int32_t kMaxThreads = 256;

/// A listing named on the command line.
struct TCheckListing {
  /// As given: the name its messages use.
  std::string Shown;
  /// As opened: made absolute before -d may change the current folder; "-" for standard input.
  std::string Path;
};

/// Everything the options and the derived settings decide, process-wide.
struct TRunSettings {
  /// The lookup records of the rows that are not the engine's standard switches or algorithms.
  std::array<cmdline::TFindParamRec, kOptionCount> Lookups{};
  /// The algorithm rows, by choice.
  ChoiceArray<cmdline::TFindParamRec> HashSelections{};

  bool ListMode = true;
  bool DirMode = false;
  bool ExclusionOn = false;
  std::string Folder;
  std::string ExclusionFile;
  std::string OutputFile;
  std::string SummaryFile;
  std::string DefaultSummaryFile;
  /// No summary file name was given: the default one is used.
  bool SummaryFileIsDefault = false;
  std::uint64_t MaxSize = static_cast<std::uint64_t>(kDefaultMaxSize);
  std::string CompareFile1;
  std::string CompareFile2;
  bool TeeMode = false;
  /// CHECK mode: --check given without -k. Its listings, as given and as found from the
  /// folder the run started in ("-" is standard input).
  bool CheckMode = false;
  std::vector<TCheckListing> CheckListings;
  /// Threads that hash files (-j, else TARVOLIN_THREADS, else the usable processors).
  std::int32_t Threads = 1;

  ChoiceArray<bool> SelectedChoices{};
  std::int32_t SelectedCount = 0;
  std::int32_t MaxHashLength = 0;
  std::int32_t PrefixWidth = 0;
  std::int32_t SavedPrefixWidth = 0;
  bool SeparatorLines = true;

  /// Where result lines go: standard output, or the -o file once opened.
  platform::TTextStream* CurrentOutput = nullptr;
};

/// Success, error and file counters.
struct TRunCounters {
  std::int32_t SuccessCount = 0;
  std::int32_t ErrorCount = 0;
  std::int32_t TotalFiles = 0;
};

extern TRunSettings RunSettings;
extern TRunCounters RunCounters;

/// The lookup record of a row: the engine's own record of a standard switch, `HashSelections`
/// for the algorithm rows, `Lookups` for the others.
cmdline::TFindParamRec& Lookup(TOption option);
/// Whether the option was found.
bool Given(TOption option);

/// Runs the lookups in table order and applies the derived settings.
void ReadOptions();

/// The thread count -j gives: `requested` when it is 1 to 256 (more counts as 256); for 0, a
/// negative or an unreadable value, the default: TARVOLIN_THREADS when it holds such a number,
/// else the processors this process may use.
std::int32_t ThreadCount(std::int64_t requested);

/// Last index of the validated range: the largest of the -L index, the -d index plus one and the
/// -k index (-1 when absent). Arguments after it are DIR mode's wildcard specifications.
std::int32_t ValidationLast();

}  // namespace tarvolin::app
