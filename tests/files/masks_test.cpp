// Wildcard masks: compilation, plain and file-name matching, set errors and mask lists.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "files/masks.h"
#include "files/unicode.h"

namespace tarvolin::files {
namespace {

bool FileMatch(const std::string& mask, const std::string& name, bool caseSensitive = false) {
  return TMask(mask, caseSensitive).MatchFileName(name);
}

TEST(Mask, StarsAndFileNameRules) {
  EXPECT_TRUE(FileMatch("*", ""));
  EXPECT_TRUE(FileMatch("*", ".hidden"));
  EXPECT_TRUE(TMask("").MatchText(""));
  EXPECT_FALSE(TMask("").MatchText("a"));
  EXPECT_FALSE(TMask("?").MatchText(""));

  EXPECT_TRUE(FileMatch("*.*", "README"));
  EXPECT_TRUE(FileMatch("*.*", "a.b.c"));
  EXPECT_TRUE(FileMatch("data*.*", "data"));
  EXPECT_TRUE(FileMatch("data*.*", "database"));
  EXPECT_FALSE(FileMatch("data*.*", "metadata"));

  EXPECT_TRUE(FileMatch("abc.", "abc"));
  EXPECT_FALSE(FileMatch("abc.", "abc.txt"));
  EXPECT_TRUE(FileMatch("*.", ".profile"));  // a leading dot does not start an extension
  EXPECT_TRUE(FileMatch("*.", "Makefile"));
  EXPECT_FALSE(FileMatch("*.", "x.c"));
  EXPECT_FALSE(FileMatch("*.", "..x"));

  EXPECT_TRUE(FileMatch("readme.*", "readme"));
  EXPECT_TRUE(FileMatch("readme.*", "README"));
  EXPECT_TRUE(FileMatch("readme.*", "readme.md"));
  EXPECT_FALSE(FileMatch("readme.*", "readme2"));
  EXPECT_FALSE(FileMatch("readme.*", "README", true));
  EXPECT_TRUE(FileMatch("readme.*", "readme", true));

  // The plain match keeps the pattern as written.
  EXPECT_FALSE(TMask("*.*").MatchText("README"));
  EXPECT_FALSE(TMask("readme.*").MatchText("readme"));
  EXPECT_FALSE(TMask("abc.").MatchText("abc"));

  // Matching with the file-name rules leaves the mask as it was.
  const TMask mask("x*.*");
  EXPECT_TRUE(mask.MatchFileName("x"));
  EXPECT_FALSE(mask.MatchText("x"));
  EXPECT_EQ(mask.MaskText(), "x*.*");
  EXPECT_EQ(mask.Compiled().Elements.size(), 4u);
}

TEST(Mask, CharactersAreCodePoints) {
  EXPECT_TRUE(FileMatch("a?c", "abc"));
  EXPECT_TRUE(FileMatch("a?c", "aäc"));
  EXPECT_TRUE(FileMatch("a?c", "a€c"));
  EXPECT_TRUE(FileMatch("a?c", "a😀c"));
  EXPECT_FALSE(FileMatch("a?c", "ac"));
  EXPECT_FALSE(FileMatch("a?c", "abbc"));
  EXPECT_TRUE(FileMatch("??", "ää"));
  EXPECT_FALSE(FileMatch("???", "ää"));
  EXPECT_TRUE(FileMatch("ä*", "Äpfel"));
  // Invalid bytes are one character each and match only themselves.
  EXPECT_TRUE(FileMatch("a?c",
                        "a\xFF"
                        "c"));
  EXPECT_TRUE(FileMatch("a\xFF*", "a\xFFzz"));
  EXPECT_FALSE(FileMatch("a\xFE*", "a\xFFzz"));

  const TMask mask("ab?*[x]ä");
  EXPECT_EQ(mask.Compiled().MinLength, 5);
  EXPECT_EQ(mask.Compiled().MaxLength, TMask::kUnlimited);
  EXPECT_EQ(TMask("a?[bc]ä").Compiled().MaxLength, 4);
}

TEST(Mask, CaseFolding) {
  EXPECT_TRUE(FileMatch("*.DLL", "x.dll"));
  EXPECT_TRUE(FileMatch("*.DLL", "X.DLL"));
  EXPECT_FALSE(FileMatch("*.DLL", "x.dll", true));
  EXPECT_TRUE(FileMatch("*.DLL", "X.DLL", true));
  EXPECT_FALSE(FileMatch("ΑΡΧΕΙΟ*", "αρχείο.txt"));  // the accent differs
  EXPECT_TRUE(FileMatch("ΑΡΧΕΊΟ*", "αρχείο.txt"));
  EXPECT_TRUE(FileMatch("отчёт_*.DOC", "ОТЧЁТ_2024.doc"));
  EXPECT_TRUE(FileMatch("žluťoučký?", "ŽLUŤOUČKÝ1"));
  EXPECT_FALSE(FileMatch("отчёт", "ОТЧЁТ", true));

  // Letters that share an upper-case form match alike, so a name and its upper-cased form
  // always match the same masks: the micro sign and the Greek mu, the long s and s, the final
  // and the ordinary sigma.
  for (const char* name : {"µs.log", "μs.log", "ΜS.LOG"}) {
    EXPECT_TRUE(FileMatch("µs.*", name)) << name;
    EXPECT_TRUE(FileMatch("μS.log", name)) << name;
  }
  EXPECT_TRUE(FileMatch("*s*", "ſ"));
  EXPECT_TRUE(FileMatch("[s]", "ſ"));  // folds to a single byte, so a set can hold it
  EXPECT_TRUE(FileMatch("λόγος", "ΛΌΓΟΣ"));
  EXPECT_TRUE(FileMatch("readmeς.*", "READMEΣ"));
  EXPECT_FALSE(FileMatch("µs.*", "μs.log", true));
}

TEST(Mask, CharacterSets) {
  EXPECT_TRUE(FileMatch("[a-c]x", "bx"));
  EXPECT_TRUE(FileMatch("[a-c]x", "Bx"));
  EXPECT_FALSE(FileMatch("[a-c]x", "Bx", true));
  EXPECT_FALSE(FileMatch("[a-c]x", "dx"));
  EXPECT_TRUE(FileMatch("[!a-c]x", "dx"));
  EXPECT_FALSE(FileMatch("[!a-c]x", "ax"));
  EXPECT_FALSE(FileMatch("[!a-c]x", "äx"));  // a set never matches a multi-byte character
  EXPECT_FALSE(FileMatch("[!a-c]x", "x"));
  EXPECT_TRUE(FileMatch("[A-C]x", "bx"));  // members are lower-cased too
  EXPECT_TRUE(FileMatch("[A-C]x", "Bx", true));
  EXPECT_FALSE(FileMatch("[A-C]x", "bx", true));

  const TMask range("[a-c-e]");
  const auto& set = range.Compiled().Elements.at(0);
  for (char c = 'a'; c <= 'e'; ++c) EXPECT_TRUE(set.Set.test(static_cast<unsigned char>(c))) << c;
  EXPECT_EQ(set.Set.count(), 5u);
  EXPECT_EQ(TMask("[z-a]]").Compiled().Elements.at(0).Set.count(), 1u);  // just "z"
  EXPECT_TRUE(FileMatch("[!!]", "a"));
  EXPECT_FALSE(FileMatch("[!!]", "!"));
  // "]", "!" and "-" outside a set are plain characters.
  EXPECT_TRUE(FileMatch("a]!-b", "A]!-B"));
}

TEST(Mask, MalformedSetsRaiseTheConvertError) {
  for (const std::string bad :
       {"[ä]", "[-a]", "[!-a]", "[a-", "[abc", "[]", "[!]", "x[a-ä]", "[", "[!", "*.[a"}) {
    try {
      TMask mask(bad);
      ADD_FAILURE() << "no error for " << bad;
    } catch (const EConvertError& error) {
      EXPECT_EQ(std::string(error.what()), "The char set in mask \"" + bad + "\" is not valid!");
    }
  }
  EXPECT_THROW(TMaskList("*.txt;[x-"), EConvertError);
  EXPECT_THROW(TMask("a.[]."), EConvertError);
}

TEST(Mask, RunsOfStarsCompileToOneElement) {
  const TMask mask("***");
  ASSERT_EQ(mask.Compiled().Elements.size(), 1u);
  EXPECT_EQ(mask.Compiled().Elements[0].Kind, TMaskChar::TKind::AnyText);
  EXPECT_EQ(mask.Compiled().MinLength, 0);
  EXPECT_EQ(TMask("a**?**b").Compiled().Elements.size(), 5u);
  EXPECT_TRUE(FileMatch("a*b*c", "abc"));
  EXPECT_TRUE(FileMatch("a*b*c", "aXbYc"));
  EXPECT_TRUE(FileMatch("a*b*c", "abcbc"));
  EXPECT_FALSE(FileMatch("a*b*c", "aXbYcd"));
  EXPECT_FALSE(FileMatch("a*b*c", "acb"));
  EXPECT_TRUE(FileMatch("*x", "xxxx"));
  EXPECT_TRUE(FileMatch("*?", "x"));
  EXPECT_FALSE(FileMatch("*??", "x"));
}

TEST(Mask, PathologicalPatternsFinish) {
  const std::string many(5000, 'a');
  EXPECT_FALSE(FileMatch("*a*a*a*a*a*a*a*b", many));
  EXPECT_TRUE(FileMatch("*a*a*a*a*a*a*a*b", many + "b"));
  EXPECT_FALSE(FileMatch("*?*?*?*?*?*?*?*[b]", many));
  EXPECT_FALSE(FileMatch("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b",
                         std::string(200, 'a')));
}

// A plain backtracking matcher as the oracle: try the rest of the pattern after a star at every
// position.
bool Reference(const std::vector<TMaskChar>& elements, std::size_t e, const std::string& name,
               std::size_t p) {
  for (; e < elements.size(); ++e) {
    const TMaskChar& element = elements[e];
    if (element.Kind == TMaskChar::TKind::AnyText) {
      if (e + 1 == elements.size()) return true;
      for (std::size_t q = p; q <= name.size(); ++q) {
        if (Reference(elements, e + 1, name, q)) return true;
      }
      return false;
    }
    if (p >= name.size()) return false;
    const auto byte = static_cast<unsigned char>(name[p]);
    if (element.Kind == TMaskChar::TKind::Literal && element.Literal != name.substr(p, 1))
      return false;
    if (element.Kind == TMaskChar::TKind::CharSet && element.Set.test(byte) == element.Negated)
      return false;
    ++p;
  }
  return p == name.size();
}

TEST(Mask, AgreesWithTheExhaustiveMatcher) {
  std::mt19937 random(12345);
  const std::string maskPieces[] = {"a", "b", "*", "?", "[ab]", "[!a]", "**"};
  for (int round = 0; round < 20000; ++round) {
    std::string maskText;
    const int pieces = static_cast<int>(random() % 7);
    for (int k = 0; k < pieces; ++k) maskText += maskPieces[random() % std::size(maskPieces)];
    std::string name;
    const int length = static_cast<int>(random() % 9);
    for (int k = 0; k < length; ++k) name += "abc"[random() % 3];
    const TMask mask(maskText, true);
    const bool expected = name.empty() ? mask.Compiled().MinLength == 0
                                       : Reference(mask.Compiled().Elements, 0, name, 0);
    ASSERT_EQ(mask.MatchText(name), expected) << "mask '" << maskText << "' name '" << name << "'";
  }
}

TEST(ParseStringList, SplitsAtAnySeparatorAndDropsEmptyPieces) {
  const TParseStringList list(";a;;b c ,d;", ";,");
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list[0], "a");
  EXPECT_EQ(list[1], "b c ");
  EXPECT_EQ(list[2], "d");
  EXPECT_EQ(TParseStringList("", ";").Count(), 0u);
  EXPECT_EQ(TParseStringList(";;;", ";").Count(), 0u);
  // A multi-byte separator splits only at whole characters.
  const TParseStringList umlaut("xäyÄz", "ä");
  ASSERT_EQ(umlaut.Count(), 2u);
  EXPECT_EQ(umlaut[1], "yÄz");
}

TEST(MaskList, SplitsKeepsBlanksAndMatchesAnyMask) {
  const TMaskList list("*.dll;;*.exe;");
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list[0].MaskText(), "*.dll");
  EXPECT_EQ(list[1].MaskText(), "*.exe");
  EXPECT_TRUE(list.MatchFileName("A.EXE"));
  EXPECT_TRUE(list.MatchFileName("b.dll"));
  EXPECT_FALSE(list.MatchFileName("c.txt"));

  const TMaskList spaced(" *.exe");
  ASSERT_EQ(spaced.Count(), 1u);
  EXPECT_EQ(spaced[0].MaskText(), " *.exe");
  EXPECT_FALSE(spaced.MatchFileName("x.exe"));
  EXPECT_TRUE(spaced.MatchFileName(" x.exe"));

  EXPECT_EQ(TMaskList(";;").Count(), 0u);
  EXPECT_FALSE(TMaskList("").MatchFileName("anything"));
  EXPECT_TRUE(TMaskList("*.TXT|*.md", '|', true).MatchFileName("x.md"));
  EXPECT_FALSE(TMaskList("*.TXT|*.md", '|', true).MatchFileName("x.txt"));
}

}  // namespace
}  // namespace tarvolin::files
