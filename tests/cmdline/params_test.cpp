// Tests of keyword matching, the lookups and the engine's text routines.
#include "cmdline/params.h"

#include <gtest/gtest.h>

#include <limits>

#include "cmdline/engine_test_util.h"

namespace tarvolin::cmdline {
namespace {

using test::ListOf;
using test::StatusOf;

// One lookup: the arguments, earlier switch rows (FindParam, so their options are claimed
// first), the lookup itself and what it must leave behind.
struct TLookupCase {
  const char* Name;
  std::vector<std::string> Args;
  const char* Keywords;
  int ValueCount = 0;
  int Flags = 0;
  bool Found = true;
  int Index = 0;
  const char* Param = "";
  const char* Value = "";
  const char* Value2 = "";
  bool Attached = false;
  const char* Status = "";
  std::vector<std::string> Earlier = {};
  int Mode = 2;
  bool DoubleDashOnly = false;
};

void PrintTo(const TLookupCase& c, std::ostream* os) {
  *os << c.Name;
}

// clang-format off
const TLookupCase kLookupCases[] = {
  // Prefixes and letter case.
  {.Name = "dash_short", .Args = {"-h"}, .Keywords = "H HELP", .Param = "-h", .Status = "2o"},
  {.Name = "slash_short", .Args = {"x", "/h"}, .Keywords = "H HELP", .Index = 1, .Param = "/h", .Status = "0 2o"},
  {.Name = "double_dash_short_never", .Args = {"--h"}, .Keywords = "H", .Found = false, .Index = -1, .Status = "0"},
  {.Name = "single_dash_long", .Args = {"-HELP"}, .Keywords = "H HELP", .Param = "-HELP", .Status = "2o"},
  {.Name = "slash_long_lower", .Args = {"/help"}, .Keywords = "H HELP", .Param = "/help", .Status = "2o"},
  {.Name = "double_dash_long_mixed", .Args = {"--Help"}, .Keywords = "H HELP", .Param = "--Help", .Status = "2o"},
  {.Name = "single_dash_long_refused", .Args = {"-HELP"}, .Keywords = "HELP", .Found = false, .Index = -1, .Status = "0", .DoubleDashOnly = true},
  {.Name = "double_dash_long_only", .Args = {"--help"}, .Keywords = "HELP", .Param = "--help", .Status = "2o", .DoubleDashOnly = true},
  {.Name = "separators", .Args = {"--help"}, .Keywords = " ,;H;,HELP ", .Param = "--help", .Status = "2o"},
  {.Name = "prefix_only_is_no_match", .Args = {"-hel", "--helper"}, .Keywords = "HELP", .Found = false, .Index = -1, .Status = "0 0"},
  // Bare symbol characters by keyword mode; "?" is no symbol character.
  {.Name = "bare_at_mode0", .Args = {"@"}, .Keywords = "@", .Found = false, .Index = -1, .Status = "0", .Mode = 0},
  {.Name = "bare_at_mode1", .Args = {"@"}, .Keywords = "@", .Param = "@", .Status = "2o", .Mode = 1},
  {.Name = "bare_at_mode2", .Args = {"@"}, .Keywords = "@", .Found = false, .Index = -1, .Status = "0", .Mode = 2},
  {.Name = "bare_at_mode3", .Args = {"@"}, .Keywords = "@", .Param = "@", .Status = "2o", .Mode = 3},
  {.Name = "dash_at_mode2", .Args = {"-@"}, .Keywords = "@", .Param = "-@", .Status = "2o"},
  {.Name = "bare_question_mode3", .Args = {"?"}, .Keywords = "?", .Found = false, .Index = -1, .Status = "0", .Mode = 3},
  {.Name = "bare_letter_mode3", .Args = {"h"}, .Keywords = "H", .Found = false, .Index = -1, .Status = "0", .Mode = 3},
  {.Name = "other_mode_acts_as_0", .Args = {"@", "-o:x"}, .Keywords = "@ O", .Found = false, .Index = -1, .Status = "0 0", .Mode = 7},
  // Attached values.
  {.Name = "attached_colon", .Args = {"-O:X.txt", "y"}, .Keywords = "O OUT", .ValueCount = 1, .Param = "-O", .Value = "X.txt", .Attached = true, .Status = "4ova 0"},
  {.Name = "attached_equals_long", .Args = {"--out=a:b"}, .Keywords = "O OUT", .ValueCount = 1, .Param = "--out", .Value = "a:b", .Attached = true, .Status = "4ova"},
  {.Name = "attached_refused_mode0", .Args = {"-o:x"}, .Keywords = "O", .ValueCount = 1, .Found = false, .Index = -1, .Status = "0", .Mode = 0},
  {.Name = "attached_refused_mode1", .Args = {"-o:x"}, .Keywords = "O", .ValueCount = 1, .Found = false, .Index = -1, .Status = "0", .Mode = 1},
  {.Name = "attached_mode3", .Args = {"-o=x"}, .Keywords = "O", .ValueCount = 1, .Param = "-o", .Value = "x", .Attached = true, .Status = "4ova", .Mode = 3},
  {.Name = "attached_on_switch", .Args = {"-b:x"}, .Keywords = "B", .Param = "-b", .Value = "x", .Attached = true, .Status = "4ova"},
  {.Name = "attached_empty_optional", .Args = {"-o:", "f"}, .Keywords = "O", .ValueCount = 1, .Param = "-o", .Attached = true, .Status = "4ova 0"},
  {.Name = "attached_empty_required_next", .Args = {"-o:", "f"}, .Keywords = "O", .ValueCount = 1, .Flags = 2, .Param = "-o", .Value = "f", .Attached = true, .Status = "5oa 3v"},
  {.Name = "attached_empty_required_last", .Args = {"-o:"}, .Keywords = "O", .ValueCount = 1, .Flags = 2, .Found = false, .Param = "-o", .Attached = true, .Status = "5o"},
  // Values from the following arguments.
  {.Name = "value_taken", .Args = {"-o", "f", "g"}, .Keywords = "O", .ValueCount = 1, .Param = "-o", .Value = "f", .Status = "2o 3v 0"},
  {.Name = "value_last_optional", .Args = {"x", "-o"}, .Keywords = "O", .ValueCount = 1, .Index = 1, .Param = "-o", .Status = "0 2o"},
  {.Name = "value_last_required", .Args = {"-o"}, .Keywords = "O", .ValueCount = 1, .Flags = 2, .Found = false, .Param = "-o", .Status = "5o"},
  {.Name = "value_empty_optional", .Args = {"-o", ""}, .Keywords = "O", .ValueCount = 1, .Param = "-o", .Status = "2o 3v"},
  {.Name = "value_empty_required", .Args = {"-o", ""}, .Keywords = "O", .ValueCount = 1, .Flags = 2, .Found = false, .Param = "-o", .Status = "5o 0"},
  {.Name = "value_claimed_elsewhere", .Args = {"-o", "-a"}, .Keywords = "O", .ValueCount = 1, .Param = "-o", .Value = "-a", .Status = "5o 2o", .Earlier = {"A APPEND"}},
  {.Name = "value_then_option_later", .Args = {"-d", "-r"}, .Keywords = "D DIR", .ValueCount = 1, .Param = "-d", .Value = "-r", .Status = "2o 3v"},
  {.Name = "switch_takes_next", .Args = {"--audible-error", "file.txt"}, .Keywords = "AUDIBLE-ERROR", .ValueCount = 1, .Param = "--audible-error", .Value = "file.txt", .Status = "2o 3v"},
  // Two values.
  {.Name = "two_values", .Args = {"-k", "a", "b", "c"}, .Keywords = "K", .ValueCount = 2, .Param = "-k", .Value = "a", .Value2 = "b", .Status = "2o 3v 3v 0"},
  {.Name = "second_claimed", .Args = {"-k", "a", "-x"}, .Keywords = "K", .ValueCount = 2, .Param = "-k", .Value = "a", .Value2 = "-x", .Status = "5 3v 2o", .Earlier = {"X"}},
  {.Name = "first_claimed", .Args = {"-k", "-x", "b"}, .Keywords = "K", .ValueCount = 2, .Param = "-k", .Value = "-x", .Value2 = "b", .Status = "5o 2o 3v", .Earlier = {"X"}},
  {.Name = "second_missing", .Args = {"-k", "a"}, .Keywords = "K", .ValueCount = 2, .Param = "-k", .Value = "a", .Status = "2o 3v"},
  {.Name = "second_missing_required", .Args = {"-k", "a"}, .Keywords = "K", .ValueCount = 2, .Flags = 1, .Found = false, .Param = "-k", .Value = "a", .Status = "5o 3v"},
  {.Name = "second_empty_required", .Args = {"-k", "a", ""}, .Keywords = "K", .ValueCount = 2, .Flags = 1, .Found = false, .Param = "-k", .Value = "a", .Status = "5 3v 0"},
  {.Name = "both_missing_required", .Args = {"-k"}, .Keywords = "K", .ValueCount = 2, .Flags = 1, .Found = false, .Param = "-k", .Status = "5o"},
  // Repeats and flag 4.
  {.Name = "twice_first_wins", .Args = {"-b", "-b"}, .Keywords = "B", .Param = "-b", .Status = "2o 0"},
  {.Name = "keep_searching", .Args = {"-b", "x", "/B", "y"}, .Keywords = "B", .Flags = 4, .Index = 2, .Param = "/B", .Status = "2o 0 2o 0"},
  {.Name = "keep_searching_values", .Args = {"-o", "a", "-o", "b"}, .Keywords = "O", .ValueCount = 1, .Flags = 4, .Index = 2, .Param = "-o", .Value = "b", .Status = "2o 3v 2o 3v"},
  {.Name = "empty_list", .Args = {}, .Keywords = "B", .Found = false, .Index = -1, .Status = ""},
};
// clang-format on

class LookupTable : public ::testing::TestWithParam<TLookupCase> {};

TEST_P(LookupTable, ClaimsAndResult) {
  const TLookupCase& c = GetParam();
  StartEngine();
  KeywordMode = c.Mode;
  DoubleDashOnly = c.DoubleDashOnly;
  TParamStatusArray list = ListOf(c.Args);
  for (const std::string& row : c.Earlier) {
    TFindParamRec earlier;
    FindParam(earlier, list, row);
  }
  TFindParamRec result;
  FindParamEx(result, list, c.Keywords, -1, -1, c.ValueCount, c.Flags);
  EXPECT_EQ(result.Found, c.Found);
  EXPECT_EQ(result.Index, c.Index);
  EXPECT_EQ(result.Position, c.Index == -1 ? -1 : c.Index + 1);
  EXPECT_EQ(result.Param, c.Param);
  EXPECT_EQ(result.Value, c.Value);
  EXPECT_EQ(result.Value2, c.Value2);
  EXPECT_EQ(result.Attached, c.Attached);
  EXPECT_FALSE(result.IsDefault);
  EXPECT_EQ(StatusOf(list), c.Status);
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupTable, ::testing::ValuesIn(kLookupCases),
                         [](const auto& info) { return std::string(info.param.Name); });

class Lookups : public ::testing::Test {
 protected:
  void SetUp() override {
    StartEngine();
    KeywordMode = 2;
    DoubleDashOnly = false;
  }
};

TEST_F(Lookups, AttachedValueIsCutAt999Characters) {
  TParamStatusArray list = ListOf({"-o:" + std::string(1200, 'a')});
  std::string value;
  TFindParamRec result;
  FindParamValue(result, list, "O", value);
  EXPECT_EQ(value, std::string(999, 'a'));
  // Counted in characters: a two-byte character at the cut is kept whole, never split.
  list = ListOf({"-o=" + std::string(998, 'a') + "\xC3\xA9" + "bc"});
  FindParamValue(result, list, "O", value);
  EXPECT_EQ(value, std::string(998, 'a') + "\xC3\xA9");
}

TEST_F(Lookups, WrappersPassTheirValues) {
  TParamStatusArray list = ListOf({"--audible-error", "x", "-k", "a", "b", "-o", "out"});
  TFindParamRec result;
  bool found = false;
  FindSwitch(result, list, "AUDIBLE-ERROR", found);
  EXPECT_TRUE(found);
  std::string value, value2;
  FindParamValues(result, list, "K COMPARE", value, value2);
  EXPECT_EQ(value + "|" + value2, "a|b");
  FindParamValue(result, list, "O OUT", value);
  EXPECT_EQ(value, "out");
  EXPECT_EQ(StatusOf(list), "2o 3v 2o 3v 3v 2o 3v");
  FindSwitch(result, list, "MISSING", found);
  EXPECT_FALSE(found);
}

TEST_F(Lookups, ValueCanStillBeMatchedAsAnOptionLater) {
  // The folder row takes a directly following -r as its value before the -r row looks.
  TParamStatusArray list = ListOf({"-d", "-r"});
  TFindParamRec dir, recurse;
  std::string folder;
  FindParamValue(dir, list, "D DIR", folder);
  FindParam(recurse, list, "R RDIR");
  EXPECT_EQ(folder, "-r");
  EXPECT_TRUE(recurse.Found);
  EXPECT_EQ(recurse.Index, 1);
  EXPECT_EQ(StatusOf(list), "2o 2ov");
}

TEST_F(Lookups, RangeKinds) {
  TParamStatusArray list = ListOf({"-b", "x", "-b"});
  TFindParamRec result;
  FindParam(result, list, "B", 0, 1, 0);  // from index 1 on
  EXPECT_EQ(result.Index, 2);
  list = ListOf({"x", "y", "-b"});
  FindParam(result, list, "B", 0, 1, 1);  // up to index 1
  EXPECT_FALSE(result.Found);
  EXPECT_EQ(StatusOf(list), "0 0 0");
  FindParam(result, list, "B", 0, -1, 1);
  EXPECT_EQ(result.Index, 2);
}

TEST_F(Lookups, DefaultsStandUntilAValueIsTaken) {
  TParamStatusArray list = ListOf({"x", "-o"});
  TFindParamRec result;
  FindParamEx(result, list, "Q", -1, -1, 2, 0, "d1", "d2");
  EXPECT_EQ(result.Value + "|" + result.Value2, "d1|d2");
  FindParamEx(result, list, "O", -1, -1, 2, 0, "d1", "d2");
  EXPECT_EQ(result.Value + "|" + result.Value2, "|");
}

TEST_F(Lookups, MatchLogHoldsPlainMatchesOnly) {
  LogMatches = true;
  TParamStatusArray list = ListOf({"-a", "-o:x", "-a"});
  TFindParamRec result;
  FindParam(result, list, "A", kKeepSearching);
  std::string value;
  FindParamValue(result, list, "O", value);
  ASSERT_EQ(MatchLog.size(), 2u);
  EXPECT_EQ(MatchLog[0].Index, 0);
  EXPECT_EQ(MatchLog[1].Index, 2);
}

TEST_F(Lookups, KeywordListCollectsEveryKeywordOnce) {
  TParamStatusArray list;
  TFindParamRec result;
  FindParam(result, list, "  debug debug-mode");
  FindParam(result, list, "H,HELP DEBUG");
  FindParam(result, list, "h help2");
  EXPECT_EQ(KeywordList, "DEBUG DEBUG-MODE H,HELP H HELP2");
}

TEST_F(Lookups, NumberLookup) {
  constexpr std::int64_t kDefault = std::numeric_limits<std::int64_t>::max();
  TParamStatusArray list = ListOf({"-m", "1,234,567"});
  TFindParamRec result;
  std::int64_t number = 0;
  FindParamNumber(result, list, "M MAX", number, kDefault);
  EXPECT_EQ(number, 1234567);
  EXPECT_EQ(result.Value, "1234567");
  EXPECT_FALSE(result.IsDefault);
  list = ListOf({"-m:abc"});
  FindParamNumber(result, list, "M MAX", number, kDefault);
  EXPECT_EQ(number, kDefault);
  EXPECT_EQ(result.Value, "9223372036854775807");
  EXPECT_TRUE(result.IsDefault);
  list = ListOf({"x"});
  FindParamNumber(result, list, "M MAX", number, 42);
  EXPECT_FALSE(result.Found);
  EXPECT_EQ(result.Value, "42");
  EXPECT_TRUE(result.IsDefault);
}

struct TNumberCase {
  const char* Text;
  std::int64_t Expected;
};

TEST(ParamNumber, Conversions) {
  constexpr std::int64_t kDefault = -7;
  // clang-format off
  const TNumberCase cases[] = {
    {"200,000,000", 200000000}, {"1.5", 1}, {"200.000.000", 200}, {".5", 5}, {"..5.9", 5},
    {"+7", 7}, {"-12", -12}, {"0", 0}, {",,3,", 3},
    {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
    {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
    {"", kDefault}, {".", kDefault}, {"abc", kDefault}, {"12abc", kDefault}, {" 5", kDefault},
    {"0x10", kDefault}, {"+-5", kDefault}, {"9223372036854775808", kDefault},
    {"-9223372036854775809", kDefault}, {"99999999999999999999", kDefault},
  };
  // clang-format on
  for (const TNumberCase& c : cases) {
    EXPECT_EQ(ParamNumber(c.Text, kDefault), c.Expected) << '"' << c.Text << '"';
    EXPECT_EQ(NumberDefaulted, c.Expected == kDefault) << '"' << c.Text << '"';
  }
  // The default given literally also counts as defaulted.
  ParamNumber("-7", kDefault);
  EXPECT_TRUE(NumberDefaulted);
}

TEST(TextRoutines, AddKeywordsAndWordNotInList) {
  std::string list;
  AddKeywords(list, "  debug debug-mode");
  AddKeywords(list, "DEBUG \"two words\" h");
  AddKeywords(list, "HELP h");
  EXPECT_EQ(list, "DEBUG DEBUG-MODE TWO WORDS H HELP");
  EXPECT_TRUE(WordNotInList("HEL", list));
  EXPECT_FALSE(WordNotInList("H", list));
  EXPECT_TRUE(WordNotInList("debug", list));  // with regard to case
  AddKeywords(list, "");
  EXPECT_EQ(list, "DEBUG DEBUG-MODE TWO WORDS H HELP");
}

TEST(TextRoutines, QuoteReplaceMaxSplit) {
  EXPECT_EQ(QuoteIfSpaced(""), "\"\"");
  EXPECT_EQ(QuoteIfSpaced("a b"), "\"a b\"");
  EXPECT_EQ(QuoteIfSpaced("ab"), "ab");

  EXPECT_EQ(ReplaceText("X.EXE.exe", ".Exe", ""), "X");
  EXPECT_EQ(ReplaceText("X.EXE.exe", ".exe", "!", true), "X!.exe");
  EXPECT_EQ(ReplaceText("abc", "", "z"), "abc");
  EXPECT_EQ(ReplaceText("aa", "a", "aa"), "aaaa");  // replacements are not searched again
  EXPECT_EQ(ReplaceText("Copyright copyright (c)", "Copyright Copyright ", "Copyright "),
            "Copyright (c)");

  EXPECT_EQ(MaxOf({}), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(MaxOf({-1, 5, 3}), 5);
  EXPECT_EQ(MaxOf({-1, -1, -1}), -1);

  EXPECT_EQ(SplitWords("  a \"b c\" d\"\"e  \"\" "), (TStringArray{"a", "b c", "de"}));
  EXPECT_TRUE(SplitWords("   ").empty());
}

TEST(Engine, ArgumentsAndStart) {
  SetProcessArguments({"/opt/my tools/tarvolin", "-o:x", "", "two words", "plain"});
  EXPECT_EQ(RawCommandLine(), "\"/opt/my tools/tarvolin\" -o:x \"\" \"two words\" plain");
  KeywordMode = 3;
  DoubleDashOnly = false;
  HelpRequested = true;
  KeywordList = "X";
  ExitStatus = 74;
  HelpSwitch.Found = true;
  StartEngine();
  EXPECT_EQ(KeywordMode, 0);
  EXPECT_TRUE(DoubleDashOnly);
  EXPECT_FALSE(HelpRequested);
  EXPECT_EQ(KeywordList, "");
  EXPECT_EQ(ExitStatus, 0);
  EXPECT_FALSE(HelpSwitch.Found);
  EXPECT_EQ(HelpSwitch.Index, -1);
  ASSERT_EQ(ParamList.size(), 4u);  // the program path is not an argument
  EXPECT_EQ(ParamList[0].Param, "-o:x");
  EXPECT_EQ(ParamList[1].Param, "");
  EXPECT_EQ(StatusOf(ParamList), "0 0 0 0");
  SetProcessArguments({});
  EXPECT_EQ(RawCommandLine(), "");
  StartEngine();
  EXPECT_TRUE(ParamList.empty());
}

}  // namespace
}  // namespace tarvolin::cmdline
