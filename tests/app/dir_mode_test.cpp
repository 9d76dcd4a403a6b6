// Folder normalisation and the exclusion list of DIR mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/dir_mode.h"
#include "app/exclusions.h"
#include "platform/platform.h"
#include "support/test_support.h"

namespace tarvolin::app {
namespace {

namespace fs = std::filesystem;

/// The text with "/" written as the native separator.
std::string Native(std::string text) {
  std::replace(text.begin(), text.end(), '/', platform::kPathSeparator);
  return text;
}

class CurrentDirectoryGuard {
 public:
  CurrentDirectoryGuard() : saved_(fs::current_path()) {}
  ~CurrentDirectoryGuard() { fs::current_path(saved_); }

 private:
  fs::path saved_;
};

// Written with "/", run with the native separator.
TEST(NormalizeFolder, StripsTrailingBlanksDotsStarsAndSeparators) {
  EXPECT_EQ(NormalizeFolder(Native("data")), Native("data/"));
  EXPECT_EQ(NormalizeFolder(Native("data/")), Native("data/"));
  EXPECT_EQ(NormalizeFolder(Native("/data/*.*")), Native("/data/"));
  EXPECT_EQ(NormalizeFolder(Native("/data/ . ")), Native("/data/"));
  EXPECT_EQ(NormalizeFolder(Native("a.b")), Native("a.b/"));
  EXPECT_EQ(NormalizeFolder(""), "");
  EXPECT_EQ(NormalizeFolder(" .*"), "");
}

TEST(NormalizeFolder, RootStaysRoot) {
  EXPECT_EQ(NormalizeFolder(Native("/")), Native("/"));
  EXPECT_EQ(NormalizeFolder(Native("//")), Native("/"));
  EXPECT_EQ(NormalizeFolder(Native("/*")), Native("/"));
}

TEST(NormalizeFolder, DotFoldersBecomeTheCurrentDirectory) {
  CurrentDirectoryGuard guard;
  test::TScratchDir scratch;
  fs::create_directories(scratch.Path() / "a" / "b");
  const std::string root = fs::canonical(scratch.Path()).string();
  fs::current_path(scratch.Path() / "a");
  EXPECT_EQ(NormalizeFolder("."), root + Native("/a/"));
  EXPECT_EQ(NormalizeFolder(Native("./")), root + Native("/a/"));
  EXPECT_EQ(NormalizeFolder(Native("b/..")), root + Native("/a/"));
  // ".." moves the current directory up, which then holds for the rest of the run.
  EXPECT_EQ(NormalizeFolder(".."), root + Native("/"));
  EXPECT_EQ(fs::current_path().string(), root);
}

TEST(ExclusionText, ByteOrderMarksAndLineEnds) {
  EXPECT_EQ(DecodeTextLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(DecodeTextLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(DecodeTextLines("\xEF\xBB\xBFx"), (std::vector<std::string>{"x"}));
  // UTF-16 LE and BE, with a character outside the BMP (a surrogate pair).
  EXPECT_EQ(DecodeTextLines(std::string("\xFF\xFE"
                                        "a\0\xE9\0\r\0\n\0\x3D\xD8\x00\xDE",
                                        14)),
            (std::vector<std::string>{"a\xC3\xA9", "\xF0\x9F\x98\x80"}));
  EXPECT_EQ(DecodeTextLines(std::string("\xFE\xFF\0a\0\n\0b", 8)),
            (std::vector<std::string>{"a", "b"}));
  // An unpaired surrogate becomes the replacement character instead of invalid UTF-8.
  EXPECT_EQ(DecodeTextLines(std::string("\xFF\xFE\x00\xD8", 4)),
            (std::vector<std::string>{"\xEF\xBF\xBD"}));
}

// A file is read in pieces: wherever one ends (inside a mark, a code unit, a surrogate pair, a
// UTF-8 character or between CR and LF), the list is that of the whole text.
TEST(ExclusionList, PiecesEndingAnywhereGiveTheLinesOfTheWhole) {
  const std::string texts[] = {
      std::string("\xFF\xFE"
                  "a\0\r\0\n\0\x3D\xD8\x00\xDE\r\0\r\0\xE9\0",
                  18),
      "\xEF\xBB\xBF\xC3\xA4rger\r\n\r\n\xE2\x82\xACtemp\r\xF0\x9F\x98\x80",
  };
  for (const std::string& text : texts) {
    TExclusionList whole;
    whole.Assign(DecodeTextLines(text));
    const std::string_view bytes = text;
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      TExclusionList pieced;
      pieced.AssignBytes({bytes.substr(0, cut), bytes.substr(cut)});
      EXPECT_EQ(pieced.Patterns(), whole.Patterns()) << "cut after byte " << cut;
    }
  }
}

TEST(ExclusionList, SubstringWithoutRegardToCaseEmptyLinesNeverMatch) {
  TExclusionList list;
  list.Assign({"", "temp", "ÄRGER"});
  EXPECT_TRUE(list.Excludes("/data/Temp/a.txt"));
  EXPECT_TRUE(list.Excludes("/data/attempt.txt"));
  EXPECT_TRUE(list.Excludes("/data/ärger.doc"));
  EXPECT_FALSE(list.Excludes("/data/other.txt"));
  TExclusionList onlyEmpty;
  onlyEmpty.Assign({""});
  EXPECT_FALSE(onlyEmpty.Excludes("/anything"));
}

}  // namespace
}  // namespace tarvolin::app
