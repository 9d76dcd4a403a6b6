// Tests of syntax validation: the statistics by status, the valid forms and the help switches.
#include "cmdline/validation.h"

#include <gtest/gtest.h>

#include <cctype>

#include "cmdline/engine_test_util.h"
#include "cmdline/screen.h"

namespace tarvolin::cmdline {
namespace {

using test::ListOf;

// Every counter of a record with its list, a line "name count: list" each.
std::string Statistics(const TParamStatisticsRec& r) {
  const char* names[] = {"in range", "unique",   "non-empty", "checked", "option",  "value",
                         "other",    "attached", "bad value", "unknown", "outside", "ignored"};
  const std::uint16_t counts[] = {r.InRangeCount,  r.UniqueCount,  r.NonEmptyCount, r.CheckedCount,
                                  r.OptionCount,   r.ValueCount,   r.OtherCount,    r.AttachedCount,
                                  r.BadValueCount, r.UnknownCount, r.OutsideCount,  r.IgnoredCount};
  const std::string* lists[] = {&r.InRangeList,  &r.UniqueList,  &r.NonEmptyList, &r.CheckedList,
                                &r.OptionList,   &r.ValueList,   &r.OtherList,    &r.AttachedList,
                                &r.BadValueList, &r.UnknownList, &r.OutsideList,  &r.IgnoredList};
  std::string text;
  for (std::size_t i = 0; i < std::size(names); ++i) {
    text += std::string(names[i]) + " " + std::to_string(counts[i]) + ": " + *lists[i] + "\n";
  }
  return text;
}

class Validation : public ::testing::Test {
 protected:
  void StartWith(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "tarvolin");
    SetProcessArguments(arguments);
    StartEngine();
    KeywordMode = 2;
    DoubleDashOnly = false;
  }

  // The host's first eight rows, with the lookup kind of each.
  void LookUpStandardSwitches() {
    FindParam(DebugModeSwitch, ParamList, "DEBUG DEBUG-MODE");
    FindSwitch(ErrorDelaySwitch, ParamList, "ERROR-DELAY", ErrorDelay);
    FindSwitch(AudibleErrorSwitch, ParamList, "AUDIBLE-ERROR", AudibleError);
    FindParam(HelpSwitch, ParamList, "H HELP ? HELP2 H2 ??");
    FindParam(VerboseSwitch, ParamList, "V VERBOSE BUILD HELP2 H2 ??");
    FindParam(VersionOnlySwitch, ParamList, "VERSION-ONLY BUILD-ONLY");
    FindParam(InfoSwitch, ParamList, "INFO");
    FindParam(BannerSwitch, ParamList, "B BANNER");
  }
};

TEST_F(Validation, HelpSwitchListFromTheStandardRows) {
  StartWith({"--h2"});
  LookUpStandardSwitches();
  EXPECT_TRUE(HelpSwitch.Found);
  EXPECT_TRUE(VerboseSwitch.Found);
  ValidateSyntax(CustomValidation, ParamList, KeywordList, true, -1, -1);
  const std::string expected = "-H --HELP -? --H2 --HELP2 --?? --VERSION-ONLY --BUILD-ONLY --INFO";
  EXPECT_EQ(HelpSwitchList, expected);
  ValidateSyntax(CustomValidation, ParamList, KeywordList, true, -1, -1);
  EXPECT_EQ(HelpSwitchList, expected);  // no repeats across calls
}

TEST_F(Validation, HelpSwitchListHoldsOnlyDefinedSwitches) {
  StartWith({});
  FindParam(HelpSwitch, ParamList, "H HELP ? HELP2 H2 ??");
  FindParam(InfoSwitch, ParamList, "INFO");
  ValidateSyntax(CustomValidation, ParamList, KeywordList, false, -1, -1);
  EXPECT_EQ(HelpSwitchList, "-H --HELP -? --H2 --HELP2 --?? --INFO");

  std::string target = "-H";
  AddPresentSwitches(target, "H X INFO", "h info x  y");
  EXPECT_EQ(target, "-H --INFO -X");
}

TEST_F(Validation, StatisticsByStatus) {
  StartWith({"-b", "-o:x.txt", "-f=y", "two words", "", "abc", "B", "-m", "-d", "folder", "*.txt",
             "x y"});
  TFindParamRec result;
  std::string value;
  FindParam(result, ParamList, "B BANNER");
  FindParamValue(result, ParamList, "O OUT", value);
  FindParamValue(result, ParamList, "F", value);
  FindParamValue(result, ParamList, "D DIR", value);
  FindParamEx(result, ParamList, "M", -1, -1, 1, kFirstValueRequired);  // -d is claimed already
  constexpr std::int32_t last = 9;                                      // up to the folder value

  ValidateSyntax(CustomValidation, ParamList, KeywordList, true, -1, last);
  const TParamStatisticsRec& r = CustomValidation;
  EXPECT_EQ(r.Name, "Custom Syntax Validation Record");
  EXPECT_TRUE(r.Done);
  EXPECT_EQ(r.FirstIndex, 0);
  EXPECT_EQ(r.LastIndex, 9);
  EXPECT_EQ(Statistics(r),
            "in range 10: -b -o:x.txt -f=y \"two words\" \"\" abc B -m -d folder \n"
            // B occurs inside -b: the unique list uses a substring test without regard to case.
            "unique 9: -b -o:x.txt -f=y \"two words\" \"\" abc -m -d folder \n"
            "non-empty 9: -b -o:x.txt -f=y \"two words\" abc B -m -d folder \n"
            "checked 10: -b -o:x.txt -f=y \"two words\" \"\" abc B -m -d folder \n"
            "option 2: -b -d \n"
            "value 1: folder \n"
            "other 7: -o:x.txt -f=y \"two words\" \"\" abc B -m \n"
            "attached 2: -o:x.txt -f=y \n"
            "bad value 1: -m \n"
            "unknown 4: \"two words\" \"\" abc B \n"
            "outside 2: *.txt \"x y\" \n"
            "ignored 0: \n");
  // -o:x.txt is recognised through its part before ":", -f=y is one word and is not.
  EXPECT_EQ(r.RecognisedOptions, "-b -d -o ");
  EXPECT_FALSE(r.EssentialMissing);
  EXPECT_FALSE(r.Valid);

  // The default record covers the whole list and is filled by the first call only.
  EXPECT_TRUE(DefaultValidation.Done);
  EXPECT_EQ(DefaultValidation.Name, "Default Syntax Validation Record");
  EXPECT_EQ(DefaultValidation.InRangeCount, 12);
  EXPECT_EQ(DefaultValidation.OutsideCount, 0);
  const TParamStatusArray other = ListOf({"-b"});
  ValidateSyntax(CustomValidation, other, KeywordList, true, -1, -1);
  EXPECT_EQ(CustomValidation.InRangeCount, 1);
  EXPECT_EQ(DefaultValidation.InRangeCount, 12);
}

TEST_F(Validation, VerdictAndEssentialCheck) {
  StartWith({"-b", "-o", "x"});
  TFindParamRec result;
  std::string value;
  FindParam(result, ParamList, "B");
  FindParamValue(result, ParamList, "O", value);
  ValidateParams(CustomValidation, ParamList, KeywordList, true, -1, -1);
  EXPECT_TRUE(CustomValidation.Valid);

  // An option attached with "=" is one word, so nothing counts as a recognised option.
  TParamStatusArray list = ListOf({"-o=x.txt"});
  FindParamValue(result, list, "O", value);
  ValidateParams(CustomValidation, list, KeywordList, true, -1, -1);
  EXPECT_EQ(CustomValidation.RecognisedOptions, "");
  EXPECT_TRUE(CustomValidation.EssentialMissing);
  EXPECT_FALSE(CustomValidation.Valid);
  ValidateParams(CustomValidation, list, KeywordList, false, -1, -1);
  EXPECT_TRUE(CustomValidation.Valid);

  // An attached value with a blank stays one entry; the option before ":" is recognised.
  list = ListOf({"-o:my file"});
  FindParamValue(result, list, "O", value);
  ValidateParams(CustomValidation, list, KeywordList, true, -1, -1);
  EXPECT_EQ(CustomValidation.AttachedList, "\"-o:my file\" ");
  EXPECT_EQ(CustomValidation.RecognisedOptions, "-o ");
  EXPECT_TRUE(CustomValidation.Valid);

  // An empty list: zero counters, valid unless the essential check finds no option.
  ValidateParams(CustomValidation, {}, KeywordList, false, -1, -1);
  EXPECT_TRUE(CustomValidation.Valid);
  EXPECT_EQ(CustomValidation.InRangeCount, 0);
  ValidateParams(CustomValidation, {}, KeywordList, true, -1, -1);
  EXPECT_TRUE(CustomValidation.EssentialMissing);
  EXPECT_FALSE(CustomValidation.Valid);

  // Every argument before the first index is outside; an argument given twice and never claimed
  // is unknown.
  list = ListOf({"-b", "-b", "x"});
  FindParam(result, list, "B");
  ValidateParams(CustomValidation, list, KeywordList, false, 1, -1);
  EXPECT_EQ(CustomValidation.OutsideList, "-b ");
  EXPECT_EQ(CustomValidation.UnknownList, "-b x ");
  EXPECT_FALSE(CustomValidation.Valid);
}

TEST_F(Validation, IgnoredArgumentsCountInsideAndOutside) {
  TParamStatusArray list = ListOf({"a", "b", "c"});
  list[0].Status = psIgnored;
  list[2].Status = psIgnored;
  ValidateParams(CustomValidation, list, "", false, -1, 1);
  EXPECT_EQ(CustomValidation.IgnoredCount, 2);
  EXPECT_EQ(CustomValidation.IgnoredList, "a c ");
  EXPECT_EQ(CustomValidation.OtherList, "a b ");
  EXPECT_EQ(CustomValidation.UnknownList, "b ");
}

TEST(ValidForms, PrefixesAndSuffixesByMode) {
  DoubleDashOnly = false;
  EXPECT_EQ(BuildValidForms("H HELP @", 0), "/H -H /HELP -HELP --HELP /@ -@ ");
  EXPECT_EQ(BuildValidForms("@", 1), "@ /@ -@ ");
  EXPECT_EQ(BuildValidForms("@", 3), "@ /@ -@ @: /@: -@: @= /@= -@= ");
  EXPECT_EQ(BuildValidForms("h", 2), "/h -h /h: -h: /h= -h= ");
  EXPECT_EQ(BuildValidForms(" B,B;B ", 0), "/B -B ");
  DoubleDashOnly = true;
  EXPECT_EQ(BuildValidForms("HELP", 2), "/HELP --HELP /HELP: --HELP: /HELP= --HELP= ");
  EXPECT_EQ(BuildValidForms("", 3), "");
}

TEST(ValidationRecord, InitAndCounters) {
  TParamStatisticsRec record;
  record.Name = "Mine";
  record.Valid = false;
  record.Done = true;
  record.OptionCount = 3;
  record.UnknownList = "x ";
  InitValidation(record);
  EXPECT_EQ(record.Name, "Mine");
  EXPECT_TRUE(record.Valid);
  EXPECT_FALSE(record.Done);
  EXPECT_EQ(record.OptionCount, 0);
  EXPECT_EQ(record.UnknownList, "");
  InitValidation(record, "Other");
  EXPECT_EQ(record.Name, "Other");

  // A counter stops at its largest value instead of wrapping round to zero.
  std::uint16_t counter = 65535;
  std::string list;
  AddToStat(counter, list, "a b");
  AddToStat(counter, list, "");
  EXPECT_EQ(counter, 65535);
  EXPECT_EQ(list, "\"a b\" \"\" ");
}

// The distinct-argument list of a long command line: exactly the plain substring rule on the
// lower-cased list (an argument inside an earlier one, or spanning two, is not new), well past
// the length where the validation stops searching the list text itself.
TEST_F(Validation, UniqueListOfManyArgumentsFollowsTheSubstringRule) {
  std::vector<std::string> arguments;
  std::uint64_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(seed >> 33);
  };
  for (int i = 0; i < 20000; ++i) {
    std::string argument;
    const std::uint32_t length = 1 + next() % 9;
    for (std::uint32_t k = 0; k < length; ++k) argument += "aBc d\"\xC3"[next() % 7];
    if (next() % 50 == 0) argument.clear();
    arguments.push_back(argument);
  }
  StartWith(arguments);
  ValidateSyntax(CustomValidation, ParamList, KeywordList, false, -1, -1);

  std::string expected;
  std::string lowered;
  std::size_t count = 0;
  for (std::string s : arguments) {
    if (s.empty()) s = "\"\"";
    std::string key = s;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lowered.find(key) != std::string::npos) continue;
    expected += QuoteIfSpaced(s) + " ";
    lowered = expected;
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ++count;
  }
  ASSERT_GT(expected.size(), 20000U);  // beyond the plain search
  EXPECT_EQ(CustomValidation.UniqueCount, count);
  EXPECT_EQ(CustomValidation.UniqueList, expected);
}

TEST_F(Validation, CountersStopAtTheirLargestValueOnHugeCommandLines) {
  std::vector<std::string> arguments(70000, "x");
  arguments[0] = "y z";
  StartWith(arguments);
  ValidateSyntax(CustomValidation, ParamList, KeywordList, false, -1, -1);
  const TParamStatisticsRec& r = CustomValidation;
  EXPECT_EQ(r.InRangeCount, 65535);
  EXPECT_EQ(r.CheckedCount, 65535);
  EXPECT_EQ(r.UnknownCount, 65535);
  EXPECT_EQ(r.UniqueCount, 2);
  EXPECT_EQ(r.LastIndex, 65535);
  EXPECT_EQ(r.InRangeList.size(), 6 + 2 * 69999U);  // the lists hold every argument
}

}  // namespace
}  // namespace tarvolin::cmdline
