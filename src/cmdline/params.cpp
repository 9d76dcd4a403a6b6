// Command-line engine: the argument status table, keyword matching and the lookups.
#include "cmdline/params.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>
#include <utility>

#include "cmdline/ascii_case.h"
#include "cmdline/engine_internal.h"
#include "cmdline/exit_codes.h"

namespace tarvolin::cmdline {

TParamStatusArray ParamList;
TParamRecArray MatchLog;
std::int32_t KeywordMode = 0;
bool DoubleDashOnly = true;
bool LogMatches = false;
std::string KeywordList;
bool NumberDefaulted = false;
bool HelpRequested = false;
TFindParamRec DebugModeSwitch, ErrorDelaySwitch, AudibleErrorSwitch, HelpSwitch, VerboseSwitch,
    VersionOnlySwitch, BannerSwitch, InfoSwitch;
std::int32_t ExitStatus = exit_code::kSuccess;

namespace {

std::vector<std::string>& RecordedArguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

std::string& RecordedCommandLine() {
  static std::string line;
  return line;
}

// The longest attached value kept, in characters.
constexpr std::size_t kMaxAttachedLength = 999;

// The first `count` characters of UTF-8 text; a character is never split.
std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80) {  // a lead byte starts a character
      if (characters == count) return text.substr(0, i);
      ++characters;
    }
  }
  return text;
}

// Splits at any of the `separators`; runs of them count as one and empty words are dropped.
// With `quotes`, double quotes group separators into a word and are removed.
std::vector<std::string> SplitWordsAt(const std::string& text, std::string_view separators,
                                      bool quotes) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  for (const char c : text) {
    if (quotes && c == '"') {
      quoted = !quoted;
    } else if (!quoted && separators.find(c) != std::string_view::npos) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// Every form under which `keyword` may be given, in matching order.
std::vector<std::string> KeywordForms(const std::string& keyword) {
  std::vector<std::string> forms;
  for (const std::string& prefix :
       detail::KeywordPrefixes(keyword, detail::AllowsBareSymbols(KeywordMode))) {
    forms.push_back(prefix + keyword);
  }
  return forms;
}

// Whether `c` is one of the symbol characters that may stand bare as a one-character keyword.
bool IsSymbolKeyword(char c) {
  static constexpr std::string_view kSymbols = "!#$%*+-.@_~";
  return kSymbols.find(c) != std::string_view::npos;
}

void MarkValueMissing(TParamStatusRec& option, bool isOption, bool valueAttached) {
  option.Status = psValueMissing;
  option.IsOption = isOption;
  option.IsValue = false;
  option.ValueAttached = valueAttached;
}

void ClaimValue(TParamStatusRec& value) {
  value.Status = psValue;
  value.IsValue = true;
}

bool Claimable(const TParamStatusRec& argument) {
  return argument.Status == psUnexamined || argument.Status == psValue;
}

// The option at `optionAt` takes the argument `offset` places after it as `value`. When no
// argument is there and the value is `required`, the lookup fails and the option lacks its
// value. An argument that is there gives its text even when it cannot be the value: when it is
// empty and required (the lookup fails) or already claimed as an option (the lookup stands),
// the option lacks its value and its `IsOption` becomes `stillOption`.
void TakeValue(TFindParamRec& result, std::string& value, TParamStatusArray& list,
               std::size_t optionAt, std::size_t offset, bool required, bool stillOption) {
  TParamStatusRec& option = list[optionAt];
  if (optionAt + offset >= list.size()) {
    value.clear();
    if (required) {
      result.Found = false;
      MarkValueMissing(option, true, false);
    }
    return;
  }
  TParamStatusRec& argument = list[optionAt + offset];
  value = argument.Param;
  if (required && argument.Param.empty()) {
    result.Found = false;
    MarkValueMissing(option, stillOption, false);
  } else if (Claimable(argument)) {
    ClaimValue(argument);
  } else {
    option.Status = psValueMissing;
    option.IsOption = stillOption;
  }
}

}  // namespace

namespace detail {

std::string Trim(const std::string& text) {
  const auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && isSpace(text[first])) ++first;
  while (last > first && isSpace(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::vector<std::string> SplitKeywords(const std::string& keywords) {
  return SplitWordsAt(keywords, " ,;", false);
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) return parts;
    from = at + 1;
  }
}

bool AllowsBareSymbols(std::int32_t mode) {
  return mode == kKeywordsBareSymbols || mode == kKeywordsBareAndAttached;
}

bool AllowsAttachedValues(std::int32_t mode) {
  return mode == kKeywordsAttachedValues || mode == kKeywordsBareAndAttached;
}

std::vector<std::string> KeywordPrefixes(const std::string& keyword, bool bareSymbols) {
  if (keyword.size() == 1) {
    if (IsSymbolKeyword(keyword[0]) && bareSymbols) return {"", "/", "-"};
    return {"/", "-"};
  }
  if (DoubleDashOnly) return {"/", "--"};
  return {"/", "-", "--"};
}

}  // namespace detail

// ---- Process arguments and engine start ---------------------------------------------------

void SetProcessArguments(std::vector<std::string> arguments, std::string rawCommandLine) {
  RecordedArguments() = std::move(arguments);
  RecordedCommandLine() = std::move(rawCommandLine);
}

const std::vector<std::string>& ProcessArguments() {
  return RecordedArguments();
}

std::string RawCommandLine() {
  if (!RecordedCommandLine().empty()) return RecordedCommandLine();
  std::string line;
  for (const std::string& argument : RecordedArguments()) {
    if (!line.empty()) line += ' ';
    line += QuoteIfSpaced(argument);
  }
  return line;
}

void StartEngine() {
  KeywordMode = kKeywordsPlain;
  DoubleDashOnly = true;
  LogMatches = false;
  KeywordList.clear();
  NumberDefaulted = false;
  HelpRequested = false;
  for (TFindParamRec* record :
       {&DebugModeSwitch, &ErrorDelaySwitch, &AudibleErrorSwitch, &HelpSwitch, &VerboseSwitch,
        &VersionOnlySwitch, &BannerSwitch, &InfoSwitch}) {
    *record = TFindParamRec{};
  }
  ExitStatus = exit_code::kSuccess;
  MatchLog.clear();
  BuildParamList(ParamList);
  detail::ResetValidationState();
  detail::ResetScreenState();
  detail::ResetBannerState();
}

// ---- Lookups -------------------------------------------------------------------------------

void BuildParamList(TParamStatusArray& list) {
  list.clear();
  const std::vector<std::string>& arguments = RecordedArguments();
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    TParamStatusRec record;
    record.Param = arguments[i];
    list.push_back(std::move(record));
  }
}

namespace {

/// `MatchKeyword` against the keyword's forms, worked out once by the caller: a lookup tries
/// the same forms on every argument.
bool MatchForms(const std::vector<std::string>& forms, const std::string& argument,
                std::string* optionPart, std::string* value, bool* attached) {
  if (attached != nullptr) *attached = false;
  bool matched = false;
  for (const std::string& form : forms) {
    if (SameAsciiText(argument, form)) {
      matched = true;
      continue;
    }
    if (matched || !detail::AllowsAttachedValues(KeywordMode)) continue;
    const std::size_t n = form.size();
    if (argument.size() > n &&
        detail::kAttachCharacters.find(argument[n]) != std::string_view::npos &&
        SameAsciiText(std::string_view(argument).substr(0, n), form)) {
      if (optionPart != nullptr) *optionPart = argument.substr(0, n);
      if (value != nullptr) *value = FirstCharacters(argument.substr(n + 1), kMaxAttachedLength);
      if (attached != nullptr) *attached = true;
      return true;
    }
  }
  return matched;
}

}  // namespace

bool MatchKeyword(const std::string& keyword, const std::string& argument, std::string* optionPart,
                  std::string* value, bool* attached) {
  return MatchForms(KeywordForms(keyword), argument, optionPart, value, attached);
}

void FindParamEx(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
                 std::int32_t lastIndex, std::int32_t firstIndex, std::int32_t valueCount,
                 std::int32_t flags, const std::string& default1, const std::string& default2) {
  AddKeywords(KeywordList, keywords);

  const bool keepSearching = (flags & kKeepSearching) != 0;
  const bool firstRequired = (flags & (kBothValuesRequired | kFirstValueRequired)) != 0;
  const bool secondRequired = (flags & kBothValuesRequired) != 0;

  result = TFindParamRec{};
  result.Value = default1;
  result.Value2 = default2;

  const auto high = static_cast<std::int64_t>(list.size()) - 1;
  const std::int64_t last = (lastIndex == -1 || lastIndex > high) ? high : lastIndex;
  const std::int64_t first = firstIndex < 0 ? 0 : firstIndex;
  if (first > last) return;

  std::vector<std::vector<std::string>> forms;
  for (const std::string& keyword : detail::SplitKeywords(keywords)) {
    forms.push_back(KeywordForms(keyword));
  }
  for (std::int64_t i = first; i <= last; ++i) {
    const auto at = static_cast<std::size_t>(i);
    for (const std::vector<std::string>& keywordForms : forms) {
      std::string optionPart;
      std::string attachedValue;
      bool attached = false;
      if (!MatchForms(keywordForms, list[at].Param, &optionPart, &attachedValue, &attached)) {
        continue;
      }
      TParamStatusRec& option = list[at];
      option.Status = psOption;
      option.IsOption = true;
      result.Param = option.Param;
      result.Index = static_cast<std::int32_t>(i);
      result.Position = static_cast<std::int32_t>(i + 1);
      result.Found = true;

      if (attached) {
        result.Param = optionPart;
        result.Value = attachedValue;
        result.Attached = true;
        if (!(firstRequired && attachedValue.empty())) {
          option.Status = psOptionWithValue;
          option.IsOption = true;
          option.IsValue = true;
          option.ValueAttached = true;
          option.Reserved = false;
          break;  // the value is settled; no further keyword for this argument
        }
        // A required value attached empty: the next argument may still supply it.
        MarkValueMissing(option, true, true);
      }

      if (valueCount >= 1) TakeValue(result, result.Value, list, at, 1, firstRequired, true);
      // A second value that is empty and required, or already an option, also clears the
      // option's IsOption, which the first value's cases keep. By its flags the argument is then
      // neither option nor value, as an item is; only its status, a missing value, still tells
      // what it was, and validation counts it among the bad values by that status.
      if (valueCount == 2) TakeValue(result, result.Value2, list, at, 2, secondRequired, false);

      if (LogMatches) MatchLog.push_back(result);
    }
    if (!keepSearching && result.Index != -1) break;
  }
}

namespace {

// The search range of the wrappers: `kSearchUpTo` ends at `index`, any other kind starts there.
std::pair<std::int32_t, std::int32_t> RangeOf(std::int32_t index, std::int32_t kind) {
  if (kind == kSearchUpTo) return {index, -1};
  return {-1, index};
}

}  // namespace

void FindParam(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
               std::int32_t flags, std::int32_t index, std::int32_t kind) {
  const auto [lastIndex, firstIndex] = RangeOf(index, kind);
  FindParamEx(result, list, keywords, lastIndex, firstIndex, 0, flags);
}

void FindSwitch(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
                bool& found, std::int32_t index, std::int32_t kind) {
  const auto [lastIndex, firstIndex] = RangeOf(index, kind);
  FindParamEx(result, list, keywords, lastIndex, firstIndex, 1, 0);
  found = result.Found;
}

void FindParamValue(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
                    std::string& value, std::int32_t index, std::int32_t kind) {
  const auto [lastIndex, firstIndex] = RangeOf(index, kind);
  FindParamEx(result, list, keywords, lastIndex, firstIndex, 1, 0);
  value = result.Value;
}

void FindParamValues(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
                     std::string& value, std::string& value2, std::int32_t index,
                     std::int32_t kind) {
  const auto [lastIndex, firstIndex] = RangeOf(index, kind);
  FindParamEx(result, list, keywords, lastIndex, firstIndex, 2, 0);
  value = result.Value;
  value2 = result.Value2;
}

void FindParamNumber(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
                     std::int64_t& number, std::int64_t defaultValue, std::int32_t index,
                     std::int32_t kind) {
  const auto [lastIndex, firstIndex] = RangeOf(index, kind);
  FindParamEx(result, list, keywords, lastIndex, firstIndex, 1, 0);
  number = ParamNumber(result.Value, defaultValue);
  result.Value = std::to_string(number);
  result.IsDefault = NumberDefaulted;
}

// ---- Text routines -------------------------------------------------------------------------

std::int64_t ParamNumber(const std::string& text, std::int64_t defaultValue) {
  // The first period-free run: leading periods are skipped, the next period ends the number.
  const std::size_t start = std::min(text.find_first_not_of('.'), text.size());
  const std::size_t end = std::min(text.find('.', start), text.size());
  std::string digits;
  for (std::size_t i = start; i < end; ++i) {
    if (text[i] != ',') digits += text[i];
  }
  std::string_view view = digits;
  if (view.size() > 1 && view[0] == '+' && view[1] != '-') view.remove_prefix(1);

  std::int64_t number = defaultValue;
  std::int64_t parsed = 0;
  const auto [rest, error] = std::from_chars(view.data(), view.data() + view.size(), parsed);
  if (!view.empty() && error == std::errc{} && rest == view.data() + view.size()) number = parsed;
  NumberDefaulted = number == defaultValue;
  return number;
}

void AddKeywords(std::string& list, const std::string& keywords) {
  for (const std::string& word : SplitWords(AsciiUpperCase(keywords))) {
    if (WordNotInList(word, list)) list += " " + word;
  }
  list = detail::Trim(list);
}

bool WordNotInList(const std::string& word, const std::string& list) {
  return (" " + list + " ").find(" " + word + " ") == std::string::npos;
}

std::string QuoteIfSpaced(const std::string& text) {
  if (text.empty() || text.find(' ') != std::string::npos) return "\"" + text + "\"";
  return text;
}

std::string ReplaceText(const std::string& text, const std::string& oldText,
                        const std::string& newText, bool firstOnly) {
  if (oldText.empty()) return text;
  const std::string upperText = AsciiUpperCase(text);
  const std::string upperOld = AsciiUpperCase(oldText);
  std::string result;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = upperText.find(upperOld, from);
    if (at == std::string::npos) break;
    result.append(text, from, at - from);
    result += newText;
    from = at + oldText.size();
    if (firstOnly) break;
  }
  result.append(text, from, std::string::npos);
  return result;
}

std::int64_t MaxOf(std::initializer_list<std::int64_t> values) {
  std::int64_t largest = std::numeric_limits<std::int64_t>::min();
  for (const std::int64_t value : values) largest = std::max(largest, value);
  return largest;
}

TStringArray SplitWords(const std::string& text) {
  return SplitWordsAt(text, " ", true);
}

}  // namespace tarvolin::cmdline
