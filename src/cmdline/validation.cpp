// Command-line engine: syntax validation and the statistics of the arguments by status.
#include "cmdline/validation.h"

#include <array>
#include <limits>
#include <string_view>
#include <vector>

#include "cmdline/ascii_case.h"
#include "cmdline/engine_internal.h"

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

/// Whether a text occurs anywhere in a text that only grows, without searching all of it each
/// time: up to a few KiB a plain search, beyond that a suffix automaton built online over the
/// appended bytes (linear time and memory), so a command line of many thousand distinct
/// arguments is validated in linear rather than quadratic time. Answers exactly as a plain
/// substring search of the whole text would.
class TSubstringIndex {
 public:
  TSubstringIndex() { rootEdges_.fill(-1); }

  void Append(std::string_view text) {
    text_.append(text);
    if (states_.empty()) {
      if (text_.size() <= kPlainSearchLimit) return;
      states_.push_back({0, -1, -1});
      text = text_;  // the automaton starts with everything appended so far
    }
    for (const char c : text) Extend(static_cast<unsigned char>(c));
  }

  bool Contains(std::string_view text) const {
    if (states_.empty()) return text_.find(text) != std::string::npos;
    std::int32_t state = 0;
    for (const char c : text) {
      state = Next(state, static_cast<unsigned char>(c));
      if (state < 0) return false;
    }
    return true;
  }

 private:
#ifdef TARVOLIN_FUZZING
  static constexpr std::size_t kPlainSearchLimit = 0;  // the fuzz build checks the automaton
#else
  static constexpr std::size_t kPlainSearchLimit = 16384;
#endif

  struct TState {
    std::int32_t Length;     // longest text ending in this state
    std::int32_t Link;       // suffix link; -1 for the root
    std::int32_t FirstEdge;  // head of this state's edge list; -1 when none
  };
  struct TEdge {
    std::int32_t Target;
    std::int32_t Next;
    unsigned char Byte;
  };

  std::int32_t Next(std::int32_t state, unsigned char c) const {
    if (state == 0) return rootEdges_[c];
    for (std::int32_t e = states_[static_cast<std::size_t>(state)].FirstEdge; e >= 0;
         e = edges_[static_cast<std::size_t>(e)].Next) {
      if (edges_[static_cast<std::size_t>(e)].Byte == c)
        return edges_[static_cast<std::size_t>(e)].Target;
    }
    return -1;
  }

  void SetEdge(std::int32_t state, unsigned char c, std::int32_t target) {
    if (state == 0) {
      rootEdges_[c] = target;
      return;
    }
    TState& s = states_[static_cast<std::size_t>(state)];
    for (std::int32_t e = s.FirstEdge; e >= 0; e = edges_[static_cast<std::size_t>(e)].Next) {
      if (edges_[static_cast<std::size_t>(e)].Byte == c) {
        edges_[static_cast<std::size_t>(e)].Target = target;
        return;
      }
    }
    edges_.push_back({target, s.FirstEdge, c});
    s.FirstEdge = static_cast<std::int32_t>(edges_.size() - 1);
  }

  std::int32_t NewState(std::int32_t length, std::int32_t link) {
    states_.push_back({length, link, -1});
    return static_cast<std::int32_t>(states_.size() - 1);
  }

  void Extend(unsigned char c) {
    const std::int32_t current = NewState(states_[static_cast<std::size_t>(last_)].Length + 1, 0);
    std::int32_t p = last_;
    while (p >= 0 && Next(p, c) < 0) {
      SetEdge(p, c, current);
      p = states_[static_cast<std::size_t>(p)].Link;
    }
    if (p >= 0) {
      const std::int32_t q = Next(p, c);
      if (states_[static_cast<std::size_t>(p)].Length + 1 ==
          states_[static_cast<std::size_t>(q)].Length) {
        states_[static_cast<std::size_t>(current)].Link = q;
      } else {
        const std::int32_t clone = NewState(states_[static_cast<std::size_t>(p)].Length + 1,
                                            states_[static_cast<std::size_t>(q)].Link);
        for (std::int32_t e = states_[static_cast<std::size_t>(q)].FirstEdge; e >= 0;
             e = edges_[static_cast<std::size_t>(e)].Next) {
          const TEdge edge = edges_[static_cast<std::size_t>(e)];
          SetEdge(clone, edge.Byte, edge.Target);
        }
        while (p >= 0 && Next(p, c) == q) {
          SetEdge(p, c, clone);
          p = states_[static_cast<std::size_t>(p)].Link;
        }
        states_[static_cast<std::size_t>(q)].Link = clone;
        states_[static_cast<std::size_t>(current)].Link = clone;
      }
    }
    last_ = current;
  }

  std::string text_;
  std::vector<TState> states_;  // empty while plain search serves
  std::vector<TEdge> edges_;
  std::array<std::int32_t, 256> rootEdges_{};
  std::int32_t last_ = 0;
};

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
  const bool bare = mode == 1 || mode == 3;
  const bool attached = mode == 2 || mode == 3;
  std::string result;
  for (const std::string& keyword : detail::SplitKeywords(keywords)) {
    std::vector<std::string> prefixes;
    if (keyword.size() == 1) {
      if (detail::IsSymbolKeyword(keyword[0]) && bare) prefixes.emplace_back();
      prefixes.insert(prefixes.end(), {"/", "-"});
    } else if (DoubleDashOnly) {
      prefixes = {"/", "--"};
    } else {
      prefixes = {"/", "-", "--"};
    }
    std::vector<std::string> suffixes{""};
    if (attached) suffixes.insert(suffixes.end(), {":", "="});
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
    TSubstringIndex unique;
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
      switch (argument.Status) {
        case psUnexamined:
          AddToStat(record.UnknownCount, record.UnknownList, s);
          break;
        case psOption:
          AddToStat(record.OptionCount, record.OptionList, s);
          break;
        case psValue:
          AddToStat(record.ValueCount, record.ValueList, s);
          break;
        case psOptionWithValue:
          AddToStat(record.AttachedCount, record.AttachedList, s);
          break;
        case psValueMissing:
          AddToStat(record.BadValueCount, record.BadValueList, s);
          break;
        case psIgnored:
          AddToStat(record.IgnoredCount, record.IgnoredList, s);
          break;
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
