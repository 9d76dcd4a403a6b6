// The option lookups: where each row's result is kept and which choice an algorithm row selects.
// (The table's order and shape are checked where it is defined.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"

namespace tarvolin::app {
namespace {

/// Looks the options up in the arguments, as a run does.
void ReadArguments(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "tarvolin");
  cmdline::SetProcessArguments(arguments);
  cmdline::StartEngine();
  cmdline::KeywordMode = cmdline::kKeywordsAttachedValues;
  cmdline::DoubleDashOnly = false;
  RunSettings = TRunSettings{};
  ReadOptions();
}

TEST(OptionTable, AlgorithmRowsSelectTheirChoiceInOutputOrder) {
  ReadArguments({"--blk3", "-5", "--mh3", "-c"});
  std::vector<THashChoices> found;
  for (std::size_t i = 0; i < kChoiceCount; ++i) {
    if (RunSettings.HashSelections[i].Found) found.push_back(static_cast<THashChoices>(i));
  }
  EXPECT_EQ(found, (std::vector<THashChoices>{THashChoices::MD5, THashChoices::Blake3,
                                              THashChoices::MurmurHash3_x64}));
  EXPECT_TRUE(Given(OptionOfChoice(THashChoices::Blake3)));
  EXPECT_FALSE(Given(TOption::NoHash));
  EXPECT_EQ(ChoiceOfOption(TOption::NoHash), THashChoices::None);
  EXPECT_EQ(ChoiceOfOption(TOption::All), THashChoices::None);
}

TEST(OptionTable, StandardSwitchesAreKeptInTheEngineRecords) {
  ReadArguments({"-b", "-c"});
  EXPECT_TRUE(cmdline::BannerSwitch.Found);
  EXPECT_TRUE(Given(TOption::Banner));
  EXPECT_FALSE(cmdline::VerboseSwitch.Found);
  EXPECT_TRUE(Given(TOption::Count));
  EXPECT_FALSE(Given(TOption::Prefix));
}

TEST(ChoiceTable, EachDigestWidthIsTwoHexDigitsPerEngineByte) {
  for (const ChoiceInfo& info : kChoiceInfo) {
    ASSERT_EQ(info.CreateEngine == nullptr, info.Choice == THashChoices::None) << info.Name;
    if (info.CreateEngine == nullptr) continue;
    EXPECT_EQ(info.HashLength, 2 * info.CreateEngine()->HashSize()) << info.Name;
  }
}

}  // namespace
}  // namespace tarvolin::app
