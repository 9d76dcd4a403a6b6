// The option table: every row, in lookup order, with its keywords and kind.
#include <gtest/gtest.h>

#include "app/options.h"

namespace tarvolin::app {
namespace {

TEST(OptionTable, RowsInLookupOrder) {
  using K = TOptionKind;
  const std::vector<std::pair<std::string, TOptionKind>> expected = {
      {"DEBUG DEBUG-MODE", K::Switch},
      {"ERROR-DELAY", K::Flag},
      {"AUDIBLE-ERROR", K::Flag},
      {"H HELP ? HELP2 H2 ??", K::Switch},
      {"V VERBOSE BUILD HELP2 H2 ??", K::Switch},
      {"VERSION-ONLY BUILD-ONLY", K::Switch},
      {"INFO", K::Switch},
      {"B BANNER", K::Switch},
      {"C COUNT", K::Switch},
      {"P PREFIX", K::Switch},
      {"L LIST", K::Switch},
      {"D DIR", K::Value},
      {"R RDIR", K::Switch},
      {"E EXC", K::Value},
      {"O OUT", K::Value},
      {"A APPEND", K::Switch},
      {"T TEE", K::Switch},
      {"F FSUM", K::Switch},
      {"S SIMPLE", K::Switch},
      {"W SHOWZERO", K::Switch},
      {"I HIDEPATH", K::Switch},
      {"Z SIZE", K::Switch},
      {"M MAX MAXSIZE", K::Number},
      {"U SUMMARY", K::Value},
      {"K COMPARE", K::TwoValues},
      {"@ ALL", K::Switch},
      {"N NONE NOHASH", K::Switch},
      {"5 MD5", K::Switch},
      {"1 SHA1", K::Switch},
      {"2 SHA2 SHA256 SHA2_256", K::Switch},
      {"384 SHA384 SHA2_384", K::Switch},
      {"512 SHA512 SHA2_512", K::Switch},
      {"3 SHA3 SHA3_256", K::Switch},
      {"SHA3_384", K::Switch},
      {"SHA3_512", K::Switch},
      {"BLAKE2S", K::Switch},
      {"BLK2 BLAKE2B BLAKE2", K::Switch},
      {"BLK3 BLAKE3", K::Switch},
      {"XX64 XXHASH64", K::Switch},
      {"MURMURHASH3_x86 MURMURHASH3_x86_128", K::Switch},
      {"MH3 MURMURHASH3_x64 MURMURHASH3_x64_128 MURMURHASH3 MURMURHASH3_128", K::Switch},
  };
  ASSERT_EQ(kOptionTable.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(kOptionTable[i].Keywords, expected[i].first) << "row " << i + 1;
    EXPECT_EQ(kOptionTable[i].Kind, expected[i].second) << "row " << i + 1;
    EXPECT_EQ(static_cast<std::size_t>(kOptionTable[i].Option), i) << "row " << i + 1;
  }
}

TEST(OptionTable, AlgorithmRowsSelectTheirChoiceInOutputOrder) {
  EXPECT_EQ(ChoiceOfOption(TOption::NoHash), THashChoices::None);
  EXPECT_EQ(ChoiceOfOption(TOption::MD5), THashChoices::MD5);
  EXPECT_EQ(ChoiceOfOption(TOption::Blake3), THashChoices::Blake3);
  EXPECT_EQ(ChoiceOfOption(TOption::MurmurHash3_x64), THashChoices::MurmurHash3_x64);
  EXPECT_EQ(ChoiceOfOption(TOption::All), THashChoices::None);
}

}  // namespace
}  // namespace tarvolin::app
