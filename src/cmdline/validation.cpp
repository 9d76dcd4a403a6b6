// Command-line engine: syntax validation and the statistics of the arguments by status.
#include "cmdline/validation.h"

#include <array>
#include <limits>
#include <vector>

#include "cmdline/ascii_case.h"
#include "cmdline/engine_internal.h"
#include "cmdline/suffix_automaton.h"

namespace tarvolin::cmdline {

TParamStatisticsRec CustomValidation;
TParamStatisticsRec DefaultValidation;
std::string HelpSwitchList;

namespace {

constexpr const char* kCustomName = "Custom Syntax Validation Record";
constexpr const char* kDefaultName = "Default Syntax Validation Record";
// The help and information switches that are listed when the host defined them.
constexpr const char* kHelpSwitchCandidates = "H HELP ? H2 HELP2 ?? VERSION-ONLY BUILD-ONLY INFO";

// Counters and range fields are 16-bit: they stop at their largest value rather than wrap.
std::uint16_t Clamp16(std::int64_t value) {
  constexpr std::int64_t kMax = std::numeric_limits<std::uint16_t>::max();
  return static_cast<std::uint16_t>(value < 0 ? 0 : (value > kMax ? kMax : value));
}

// The statistic that counts the arguments of one status.
struct StatusStatistic {
  TParamStatus Status;
  std::uint16_t TParamStatisticsRec::*Count;
  std::string TParamStatisticsRec::*List;
};

constexpr std::array<StatusStatistic, 6> kStatusStatistics = {{
    {psUnexamined, &TParamStatisticsRec::UnknownCount, &TParamStatisticsRec::UnknownList},
    {psOption, &TParamStatisticsRec::OptionCount, &TParamStatisticsRec::OptionList},
    {psValue, &TParamStatisticsRec::ValueCount, &TParamStatisticsRec::ValueList},
    {psOptionWithValue, &TParamStatisticsRec::AttachedCount, &TParamStatisticsRec::AttachedList},
    {psValueMissing, &TParamStatisticsRec::BadValueCount, &TParamStatisticsRec::BadValueList},
    {psIgnored, &TParamStatisticsRec::IgnoredCount, &TParamStatisticsRec::IgnoredList},
}};

// The words of the option lists: split at blanks (double quotes group, so an attached value
// with a blank stays one entry) and then at ":".
std::vector<std::string> OptionWords(const std::string& lists) {
  std::vector<std::string> words;
  for (const std::string& entry : SplitWords(lists)) {
    std::size_t from = 0;
    while (from <= entry.size()) {
      std::size_t colon = entry.find(':', from);
      if (colon == std::string::npos) colon = entry.size();
      if (colon > from) words.push_back(entry.substr(from, colon - from));
      from = colon + 1;
    }
  }
  return words;
}

}  // namespace

namespace detail {

void ResetValidationState() {
  InitValidation(CustomValidation, kCustomName);
  InitValidation(DefaultValidation, kDefaultName);
  HelpSwitchList.clear();
}

}  // namespace detail

void InitValidation(TParamStatisticsRec& record, const std::optional<std::string>& name) {
  std::string keptName = name.has_value() ? *name : record.Name;
  record = TParamStatisticsRec{};
  record.Name = std::move(keptName);
}

void AddToStat(std::uint16_t& counter, std::string& list, const std::string& text) {
  counter = Clamp16(static_cast<std::int64_t>(counter) + 1);
  list += QuoteIfSpaced(text);
  list += ' ';
}

std::string BuildValidForms(const std::string& keywords, std::int32_t mode) {
  std::vector<std::string> suffixes{""};
  if (detail::AllowsAttachedValues(mode)) {
    for (const char c : detail::kAttachCharacters) suffixes.emplace_back(1, c);
  }
  std::string result;
  for (const std::string& keyword : detail::SplitKeywords(keywords)) {
    const std::vector<std::string> prefixes =
        detail::KeywordPrefixes(keyword, detail::AllowsBareSymbols(mode));
    for (const std::string& suffix : suffixes) {
      for (const std::string& prefix : prefixes) {
        const std::string form = prefix + keyword + suffix + " ";
        if (result.find(form) == std::string::npos) result += form;
      }
    }
  }
  return result;
}

void AddPresentSwitches(std::string& target, const std::string& source,
                        const std::string& candidates) {
  for (const std::string& word : SplitWords(AsciiUpperCase(candidates))) {
    const std::string key = word + " ";
    if ((target + " ").find(key) != std::string::npos) continue;
    if ((source + " ").find(key) == std::string::npos) continue;
    target += (word.size() == 1 ? " -" : " --") + word;
  }
  target = detail::Trim(target);
}

void ValidateParams(TParamStatisticsRec& record, const TParamStatusArray& list,
                    const std::string& keywords, bool checkEssential, std::int32_t firstIndex,
                    std::int32_t lastIndex) {
  InitValidation(record);
  AddPresentSwitches(HelpSwitchList, KeywordList, kHelpSwitchCandidates);
  record.ValidForms = BuildValidForms(keywords, 0);

  std::int64_t first = firstIndex;
  if (!list.empty()) {
    const auto high = static_cast<std::int64_t>(list.size()) - 1;
    first = firstIndex < 0 ? 0 : firstIndex;
    const std::int64_t last = (lastIndex < 0 || lastIndex > high) ? high : lastIndex;
    record.FirstIndex = Clamp16(first);
    record.LastIndex = Clamp16(last);
    detail::SubstringIndex unique;
    for (std::int64_t i = 0; i <= high; ++i) {
      const TParamStatusRec& argument = list[static_cast<std::size_t>(i)];
      std::string s = argument.Param;
      if (i < first || i > last) {
        AddToStat(record.OutsideCount, record.OutsideList, s);
        if (argument.Status == psIgnored) AddToStat(record.IgnoredCount, record.IgnoredList, s);
        continue;
      }
      AddToStat(record.InRangeCount, record.InRangeList, s);
      if (s.empty()) {
        s = "\"\"";
      } else {
        AddToStat(record.NonEmptyCount, record.NonEmptyList, s);
      }
      // A plain substring test on the lower-cased list: "b" is not new after "abc".
      if (!unique.Contains(AsciiLowerCase(s))) {
        AddToStat(record.UniqueCount, record.UniqueList, s);
        unique.Append(AsciiLowerCase(QuoteIfSpaced(s) + " "));
      }
      if (argument.Status != psOption && argument.Status != psValue) {
        AddToStat(record.OtherCount, record.OtherList, s);
      }
      AddToStat(record.CheckedCount, record.CheckedList, s);
      for (const StatusStatistic& statistic : kStatusStatistics) {
        if (argument.Status == statistic.Status) {
          AddToStat(record.*statistic.Count, record.*statistic.List, s);
        }
      }
    }
  }

  if (!record.ValidForms.empty()) {
    // Forms hold no separator of their own, so this is a split at blanks.
    const std::vector<std::string> forms = detail::SplitKeywords(record.ValidForms);
    for (const std::string& word : OptionWords(record.OptionList + record.AttachedList)) {
      for (const std::string& form : forms) {
        if (SameAsciiText(word, form)) {
          record.RecognisedOptions += word + " ";
          break;
        }
      }
    }
    record.EssentialMissing = checkEssential && record.RecognisedOptions.empty();
  }

  record.Done = true;
  record.Valid = first <= record.InRangeCount && record.UnknownList.empty() &&
                 record.BadValueList.empty() && !record.EssentialMissing;
}

void ValidateSyntax(TParamStatisticsRec& record, const TParamStatusArray& list,
                    const std::string& keywords, bool checkEssential, std::int32_t firstIndex,
                    std::int32_t lastIndex) {
  ValidateParams(record, list, keywords, checkEssential, firstIndex, lastIndex);
  if (!DefaultValidation.Done) {
    ValidateParams(DefaultValidation, list, keywords, checkEssential, -1, -1);
  }
}

}  // namespace tarvolin::cmdline
