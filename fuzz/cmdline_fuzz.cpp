// Fuzz target of the command-line engine: any argument list through every lookup of the
// program's option table, the syntax validation and the DIR-mode mask list.
//
// Input: one settings byte (bits 0-1 keyword mode, bit 2 double-dash-only; bits 3-7 equal to
// 10101 and a second byte 0x55 ask for a repeat), with a repeat a 16-bit repeat count, then the
// arguments separated by NUL bytes. Repeating the list reaches the 16-bit counters' saturation
// and the large-list paths; it is slow, so random inputs seldom ask for it (the seeds that do
// are replayed as tests, not fuzzed: fuzz/corpus-slow).
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/dir_mode.h"
#include "app/options.h"
#include "cmdline/params.h"
#include "cmdline/validation.h"
#include "files/masks.h"
#include "fuzz_support.h"

namespace {

using namespace tarvolin;
using cmdline::TFindParamRec;
using cmdline::TParamStatusArray;
using cmdline::TParamStatusRec;

constexpr std::size_t kMaxArguments = 70000;

std::string Describe(const TParamStatusArray& list, std::size_t index) {
  if (index >= list.size()) return "index " + std::to_string(index);
  const TParamStatusRec& a = list[index];
  return "argument " + std::to_string(index) + " [" + a.Param +
         "] status=" + std::to_string(a.Status) + " option=" + std::to_string(a.IsOption) +
         " value=" + std::to_string(a.IsValue) + " attached=" + std::to_string(a.ValueAttached);
}

/// Arguments some lookup has taken as a value so far.
std::vector<bool> EverValue;

/// The status flags agree with the status. An argument taken as a value and later matched as an
/// option keeps its value flag (nothing is ever unclaimed), so that flag may stay on an option.
void CheckFlags(const TParamStatusArray& list) {
  EverValue.resize(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    const TParamStatusRec& a = list[i];
    if (a.Status == cmdline::psValue) EverValue[i] = true;
    FUZZ_CHECK(!a.IsValue || EverValue[i] || a.Status == cmdline::psOptionWithValue,
               Describe(list, i));
    switch (a.Status) {
      case cmdline::psUnexamined:
        FUZZ_CHECK(!a.IsOption && !a.IsValue && !a.ValueAttached, Describe(list, i));
        break;
      case cmdline::psValue:
        FUZZ_CHECK(a.IsValue && !a.IsOption && !a.ValueAttached, Describe(list, i));
        break;
      case cmdline::psOption:
        FUZZ_CHECK(a.IsOption && !a.ValueAttached, Describe(list, i));
        break;
      case cmdline::psOptionWithValue:
        FUZZ_CHECK(a.IsOption && a.IsValue && a.ValueAttached, Describe(list, i));
        break;
      case cmdline::psValueMissing:
        break;
      default:
        FUZZ_CHECK(false, Describe(list, i));
    }
  }
}

bool SameArgument(const TParamStatusRec& a, const TParamStatusRec& b) {
  return a.Status == b.Status && a.IsOption == b.IsOption && a.IsValue == b.IsValue &&
         a.ValueAttached == b.ValueAttached && a.Param == b.Param;
}

bool IsOptionStatus(cmdline::TParamStatus status) {
  return status == cmdline::psOption || status == cmdline::psOptionWithValue ||
         status == cmdline::psValueMissing;
}

/// One lookup changed only what it claimed: the matched argument became an option and at most
/// the following `valueCount` arguments became values; the record's index, position and text
/// agree with the argument.
void CheckLookup(const TFindParamRec& r, const TParamStatusArray& before,
                 const TParamStatusArray& after, int valueCount, const char* keywords) {
  const std::string what = std::string("lookup ") + keywords;
  FUZZ_CHECK(r.Index >= -1 && r.Index < static_cast<std::int64_t>(after.size()), what);
  FUZZ_CHECK(r.Index == -1 ? r.Position == -1 : r.Position == r.Index + 1, what);
  FUZZ_CHECK(!r.Found || r.Index >= 0, what);
  if (r.Index >= 0) {
    const TParamStatusRec& option = after[static_cast<std::size_t>(r.Index)];
    FUZZ_CHECK(IsOptionStatus(option.Status), what + " " + Describe(after, r.Index));
    if (r.Attached) {
      const std::size_t n = r.Param.size();
      FUZZ_CHECK(option.Param.size() > n && option.Param.compare(0, n, r.Param) == 0 &&
                     (option.Param[n] == ':' || option.Param[n] == '='),
                 what + " " + r.Param);
    } else {
      FUZZ_CHECK(r.Param == option.Param, what + " " + r.Param);
    }
  } else {
    FUZZ_CHECK(!r.Found && !r.Attached, what);
  }
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (SameArgument(before[i], after[i])) continue;
    const auto offset = static_cast<std::int64_t>(i) - r.Index;
    const bool asOption = r.Index >= 0 && offset == 0 && IsOptionStatus(after[i].Status);
    const bool asValue =
        r.Index >= 0 && !r.Attached && offset >= 1 && offset <= valueCount &&
        after[i].Status == cmdline::psValue &&
        (before[i].Status == cmdline::psUnexamined || before[i].Status == cmdline::psValue);
    FUZZ_CHECK(asOption || asValue, what + " changed " + Describe(after, i));
  }
}

/// The lookups of the option table, made the way the run makes them, on a list of its own.
std::vector<TFindParamRec> ReplicateLookups(TParamStatusArray& list) {
  std::vector<TFindParamRec> records;
  // The texts never change, so the snapshot before each lookup shares them.
  TParamStatusArray before = list;
  for (const app::TOptionRow& row : app::kOptionTable) {
    for (std::size_t i = 0; i < list.size(); ++i) {
      before[i].Status = list[i].Status;
      before[i].IsOption = list[i].IsOption;
      before[i].IsValue = list[i].IsValue;
      before[i].ValueAttached = list[i].ValueAttached;
    }
    TFindParamRec r;
    int valueCount = 0;
    switch (row.Kind) {
      case app::TOptionKind::Switch:
        cmdline::FindParam(r, list, row.Keywords);
        break;
      case app::TOptionKind::Flag: {
        bool found = false;
        cmdline::FindSwitch(r, list, row.Keywords, found);
        FUZZ_CHECK(found == r.Found, row.Keywords);
        valueCount = 1;
        break;
      }
      case app::TOptionKind::Value: {
        std::string value;
        cmdline::FindParamValue(r, list, row.Keywords, value);
        FUZZ_CHECK(value == r.Value, row.Keywords);
        valueCount = 1;
        break;
      }
      case app::TOptionKind::TwoValues: {
        std::string value, value2;
        cmdline::FindParamValues(r, list, row.Keywords, value, value2);
        valueCount = 2;
        break;
      }
      case app::TOptionKind::Number: {
        std::int64_t number = 0;
        cmdline::FindParamNumber(r, list, row.Keywords, number, app::NumberDefault(row.Option));
        FUZZ_CHECK(r.Value == std::to_string(number), row.Keywords);
        valueCount = 1;
        break;
      }
    }
    CheckLookup(r, before, list, valueCount, row.Keywords);
    CheckFlags(list);
    records.push_back(r);
  }
  return records;
}

bool SameRecord(const TFindParamRec& a, const TFindParamRec& b) {
  return a.Found == b.Found && a.Attached == b.Attached && a.Index == b.Index &&
         a.Position == b.Position && a.Param == b.Param && a.Value == b.Value &&
         a.Value2 == b.Value2;
}

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

/// A straightforward validation of the same list, to compare the engine's record with.
struct TReference {
  std::size_t counts[12] = {};
  std::string lists[12];
  std::string uniqueLower;
  void Add(int which, const std::string& text) {
    ++counts[which];
    lists[which] += cmdline::QuoteIfSpaced(text) + " ";
  }
};
enum {
  kInRange,
  kUnique,
  kNonEmpty,
  kChecked,
  kOption,
  kValue,
  kOther,
  kAttached,
  kBadValue,
  kUnknown,
  kOutside,
  kIgnored
};

// The list of each status, besides the lists every argument in range goes to.
constexpr std::pair<cmdline::TParamStatus, int> kStatusLists[] = {
    {cmdline::psUnexamined, kUnknown},    {cmdline::psOption, kOption},
    {cmdline::psValue, kValue},           {cmdline::psOptionWithValue, kAttached},
    {cmdline::psValueMissing, kBadValue}, {cmdline::psIgnored, kIgnored}};

void CheckValidation(const cmdline::TParamStatisticsRec& v, const TParamStatusArray& list,
                     std::int64_t firstIndex, std::int64_t lastIndex) {
  FUZZ_CHECK(v.Done, v.Name);
  TReference ref;
  const auto high = static_cast<std::int64_t>(list.size()) - 1;
  const std::int64_t first = firstIndex < 0 ? 0 : firstIndex;
  const std::int64_t last = (lastIndex < 0 || lastIndex > high) ? high : lastIndex;
  for (std::int64_t i = 0; i <= high; ++i) {
    const TParamStatusRec& a = list[static_cast<std::size_t>(i)];
    std::string s = a.Param;
    if (i < first || i > last) {
      ref.Add(kOutside, s);
      if (a.Status == cmdline::psIgnored) ref.Add(kIgnored, s);
      continue;
    }
    ref.Add(kInRange, s);
    if (s.empty()) {
      s = "\"\"";
    } else {
      ref.Add(kNonEmpty, s);
    }
    if (ref.uniqueLower.find(LowerAscii(s)) == std::string::npos) {
      ref.Add(kUnique, s);
      ref.uniqueLower = LowerAscii(ref.lists[kUnique]);
    }
    if (a.Status != cmdline::psOption && a.Status != cmdline::psValue) ref.Add(kOther, s);
    ref.Add(kChecked, s);
    for (const auto& [status, which] : kStatusLists) {
      if (a.Status == status) ref.Add(which, s);
    }
  }
  const std::uint16_t counters[12] = {v.InRangeCount, v.UniqueCount,   v.NonEmptyCount,
                                      v.CheckedCount, v.OptionCount,   v.ValueCount,
                                      v.OtherCount,   v.AttachedCount, v.BadValueCount,
                                      v.UnknownCount, v.OutsideCount,  v.IgnoredCount};
  const std::string* lists[12] = {&v.InRangeList,  &v.UniqueList,  &v.NonEmptyList, &v.CheckedList,
                                  &v.OptionList,   &v.ValueList,   &v.OtherList,    &v.AttachedList,
                                  &v.BadValueList, &v.UnknownList, &v.OutsideList,  &v.IgnoredList};
  for (int k = 0; k < 12; ++k) {
    const std::size_t expected = std::min<std::size_t>(ref.counts[k], 65535);
    FUZZ_CHECK(counters[k] == expected, v.Name + " counter " + std::to_string(k) + ": " +
                                            std::to_string(counters[k]) + " instead of " +
                                            std::to_string(expected));
    FUZZ_CHECK(*lists[k] == ref.lists[k], v.Name + " list " + std::to_string(k));
  }
  if (!list.empty()) {
    FUZZ_CHECK(v.FirstIndex == std::min<std::int64_t>(first, 65535), v.Name);
    FUZZ_CHECK(v.LastIndex == std::min<std::int64_t>(last, 65535), v.Name);
  }
  const std::int64_t validFirst = list.empty() ? firstIndex : first;
  FUZZ_CHECK(v.Valid == (validFirst <= v.InRangeCount && v.UnknownList.empty() &&
                         v.BadValueList.empty() && !v.EssentialMissing),
             v.Name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::TInput input(data, size);
  const std::uint8_t settings = input.Byte();
  const bool repeated = (settings & 0xF8) == 0xA8 && input.Byte() == 0x55;
  const std::size_t repeat = repeated ? std::max<std::size_t>(1, input.Word()) : 1;

  std::vector<std::string> parsed;
  const std::string_view rest = input.Rest();
  if (!rest.empty()) {
    std::size_t start = 0;
    for (;;) {
      const std::size_t end = rest.find('\0', start);
      parsed.emplace_back(rest.substr(start, end == std::string_view::npos ? end : end - start));
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
  }
  std::vector<std::string> arguments{"tarvolin"};
  for (std::size_t r = 0; r < repeat && arguments.size() <= kMaxArguments; ++r) {
    for (const std::string& p : parsed) {
      if (arguments.size() > kMaxArguments) break;
      arguments.push_back(p);
    }
  }

  // The folder normalisation may change the current directory; every input starts from the same.
  static const std::filesystem::path kStartFolder = std::filesystem::current_path();
  std::error_code ignored;

  cmdline::SetProcessArguments(arguments);
  cmdline::StartEngine();
  app::RunSettings = app::TRunSettings{};
  cmdline::KeywordMode = settings & 3;
  cmdline::DoubleDashOnly = (settings & 4) != 0;

  TParamStatusArray list;
  cmdline::BuildParamList(list);
  EverValue.assign(list.size(), false);
  FUZZ_CHECK(list.size() == arguments.size() - 1, "argument count");
  CheckFlags(list);
  const std::vector<TFindParamRec> replicated = ReplicateLookups(list);

  // The run's own lookups claim exactly the same.
  app::ReadOptions();
  std::filesystem::current_path(kStartFolder, ignored);
  FUZZ_CHECK(cmdline::ParamList.size() == list.size(), "list size");
  for (std::size_t i = 0; i < list.size(); ++i) {
    FUZZ_CHECK(SameArgument(cmdline::ParamList[i], list[i]), Describe(cmdline::ParamList, i));
  }
  for (std::size_t k = 0; k < app::kOptionCount; ++k) {
    FUZZ_CHECK(SameRecord(app::Lookup(app::kOptionTable[k].Option), replicated[k]),
               app::kOptionTable[k].Keywords);
  }

  const std::int32_t last = app::ValidationLast();
  cmdline::ValidateSyntax(cmdline::CustomValidation, cmdline::ParamList, cmdline::KeywordList, true,
                          -1, last);
  CheckValidation(cmdline::CustomValidation, cmdline::ParamList, -1, last);
  CheckValidation(cmdline::DefaultValidation, cmdline::ParamList, -1, -1);

  const std::string masks = app::JoinMaskList();
  FUZZ_CHECK(masks.find('"') == std::string::npos, masks);
  if (cmdline::CustomValidation.OutsideCount == 0) FUZZ_CHECK(masks == "*", masks);
  try {
    const files::TMaskList compiled(masks);
    (void)compiled.MatchFileName("name.txt");
  } catch (const files::EConvertError&) {
    // A malformed character set is the documented failure.
  }
  return 0;
}
