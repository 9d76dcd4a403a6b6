// UTF-8 decoding, invalid bytes, and the simple case mappings (checked against python3).
#include <gtest/gtest.h>

#include <sstream>
#include <unordered_map>

#include "files/unicode.h"
#include "support/test_support.h"

namespace tarvolin::files {
namespace {

TEST(Utf8, EncodesAndDecodesAtEveryLengthBoundary) {
  for (const char32_t cp :
       {0x00u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
    const std::string bytes = EncodeUtf8(cp);
    const TUtf8Char ch = DecodeUtf8(bytes, 0);
    EXPECT_TRUE(ch.Valid) << std::hex << static_cast<unsigned>(cp);
    EXPECT_EQ(ch.CodePoint, cp);
    EXPECT_EQ(ch.Length, bytes.size());
  }
  EXPECT_EQ(EncodeUtf8(0xD800), "\xEF\xBF\xBD");  // surrogates cannot be encoded
  EXPECT_EQ(CharacterCount("a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"), 4u);
}

TEST(Utf8, InvalidBytesAreSingleCharactersThatPassThroughUnchanged) {
  const std::string cases[] = {
      "\x80",              // stray continuation byte
      "\xC3",              // truncated at the end
      "\xC3!",             // lead byte followed by a non-continuation
      "\xC0\x80",          // overlong NUL
      "\xE0\x80\x80",      // overlong three-byte form
      "\xED\xA0\x80",      // encoded surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xFF",
  };
  for (const std::string& bad : cases) {
    const TUtf8Char ch = DecodeUtf8(bad, 0);
    EXPECT_FALSE(ch.Valid) << test::ToHex(test::BytesOf(bad));
    EXPECT_EQ(ch.Length, 1u);
    EXPECT_EQ(ch.CodePoint, static_cast<unsigned char>(bad[0]));
    const std::string text = "A" + bad + "\xC3\x84";  // A, the bad bytes, Ä
    EXPECT_EQ(LowerCaseUtf8(text), "a" + bad + "\xC3\xA4");
    EXPECT_EQ(UpperCaseUtf8(LowerCaseUtf8(text)), text);
    EXPECT_EQ(CharacterCount(bad), bad.size());
  }
}

TEST(CaseMapping, CoversLatinGreekAndCyrillic) {
  EXPECT_EQ(LowerCaseUtf8("ABC xyz 09_"), "abc xyz 09_");
  EXPECT_EQ(UpperCaseUtf8("ÀÉÖØÞ àéöøþ ×÷"), "ÀÉÖØÞ ÀÉÖØÞ ×÷");
  EXPECT_EQ(LowerCaseUtf8("ÀÉÖØÞ ×÷"), "àéöøþ ×÷");
  EXPECT_EQ(UpperCaseUtf8("ÿµß"), "ŸΜß");  // sharp s has no single upper-case letter
  EXPECT_EQ(UpperCaseUtf8("āłžıſ"), "ĀŁŽIS");
  EXPECT_EQ(LowerCaseUtf8("ĀŁŽŸİ"), "āłžÿi");  // İ (two bytes) becomes one byte
  EXPECT_EQ(UpperCaseUtf8("αβγδεζηθικλμνξοπρστυφχψω άέήίόύώ ς"),
            "ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ ΆΈΉΊΌΎΏ Σ");
  EXPECT_EQ(LowerCaseUtf8("ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ ΆΈΉΊΌΎΏ"), "αβγδεζηθικλμνξοπρστυφχψω άέήίόύώ");
  EXPECT_EQ(UpperCaseUtf8("абвгдеёжзийклмнопрстуфхцчшщъыьэюя ђћџ ѣ"),
            "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ЂЋЏ Ѣ");
  EXPECT_EQ(LowerCaseUtf8("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ЂЋЏ Ѣ"),
            "абвгдеёжзийклмнопрстуфхцчшщъыьэюя ђћџ ѣ");
}

// Every code point against python3's mappings: catches faults in the range table or its lookup
// (wrong stride, off-by-one at a range end, overlapping ranges).
TEST(CaseMapping, AgreesWithPythonForEveryCodePoint) {
  if (!test::HaveProgram("python3")) GTEST_SKIP() << "SKIPPED LOUDLY: python3 is not available";
  const std::optional<std::string> dump = test::RunCommand(
      "python3 -c \"\n"
      "for cp in range(0x110000):\n"
      "  c = chr(cp); lo = c.lower(); up = c.upper()\n"
      "  if lo != c or up != c:\n"
      "    print(cp, ord(lo) if len(lo) == 1 else -1, ord(up) if len(up) == 1 else -1)\n"
      "\"");
  ASSERT_TRUE(dump.has_value());
  struct TExpected {
    long Lower, Upper;
  };
  std::unordered_map<long, TExpected> expected;
  std::istringstream lines(*dump);
  long cp, lo, up;
  while (lines >> cp >> lo >> up) expected[cp] = {lo, up};
  ASSERT_GT(expected.size(), 2500u);
  std::size_t mismatches = 0;
  for (long c = 0; c < 0x110000; ++c) {
    const auto found = expected.find(c);
    const long wantLower = found == expected.end() ? c : found->second.Lower;
    const long wantUpper = found == expected.end() ? c : found->second.Upper;
    // -1: python's full mapping has several code points; the simple mapping is checked by hand.
    if (wantLower >= 0 && static_cast<long>(SimpleLowerCase(static_cast<char32_t>(c))) != wantLower)
      ++mismatches;
    if (wantUpper >= 0 && static_cast<long>(SimpleUpperCase(static_cast<char32_t>(c))) != wantUpper)
      ++mismatches;
    if (mismatches > 0 && mismatches < 5) ADD_FAILURE() << "code point " << c;
  }
  EXPECT_EQ(mismatches, 0u);
  EXPECT_EQ(SimpleLowerCase(0x130), U'i');
  EXPECT_EQ(SimpleUpperCase(0xDF), 0xDFu);
  EXPECT_EQ(SimpleUpperCase(0x1F80), 0x1F88u);
  EXPECT_EQ(SimpleUpperCase(0xFB01), 0xFB01u);  // ligature fi
}

TEST(CaseInsensitive, EqualityAndPrefix) {
  EXPECT_TRUE(SameTextIgnoringCase("ReadMe.TXT", "readme.txt"));
  EXPECT_TRUE(SameTextIgnoringCase("ÄRGER ΟΔΟΣ Москва", "ärger οδος МОСКВА"));
  EXPECT_TRUE(SameTextIgnoringCase("οδος", "ΟΔΟς"));  // final sigma: same upper-case letter
  EXPECT_TRUE(SameTextIgnoringCase("İx", "ix"));      // different byte lengths
  EXPECT_TRUE(SameTextIgnoringCase("", ""));
  EXPECT_FALSE(SameTextIgnoringCase("abc", "ab"));
  EXPECT_FALSE(SameTextIgnoringCase("ab", "abc"));
  EXPECT_FALSE(SameTextIgnoringCase("a\xE4", "a\xC4"));  // invalid bytes match only themselves
  EXPECT_TRUE(SameTextIgnoringCase("a\xE4", "A\xE4"));

  EXPECT_TRUE(StartsWithIgnoringCase("/Data/Sub", "/DATA/"));
  EXPECT_TRUE(StartsWithIgnoringCase("abc", ""));
  EXPECT_TRUE(StartsWithIgnoringCase("Ägypten", "äG"));
  EXPECT_FALSE(StartsWithIgnoringCase("/dat", "/data"));
  EXPECT_FALSE(StartsWithIgnoringCase("/datb/x", "/data"));
}

}  // namespace
}  // namespace tarvolin::files
