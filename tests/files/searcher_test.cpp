// The folder searcher on real temporary trees: order, levels, masks, search paths, filters and
// the busy error.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "files/masks.h"
#include "files/searcher.h"
#include "platform/platform.h"
#include "support/test_support.h"

namespace tarvolin::files {
namespace {

namespace fs = std::filesystem;

constexpr char kSep = platform::kPathSeparator;

/// The text with "/" written as the native separator.
std::string Native(std::string text) {
  std::replace(text.begin(), text.end(), '/', kSep);
  return text;
}

/// The paths with every native separator written as "/".
std::vector<std::string> Slashed(std::vector<std::string> paths) {
  for (std::string& path : paths) std::replace(path.begin(), path.end(), kSep, '/');
  return paths;
}

class Searcher : public ::testing::Test {
 protected:
  /// Creates the files (and their folders) below the scratch folder.
  void Make(std::initializer_list<std::string> files) {
    for (const std::string& file : files) {
      const fs::path path = scratch_.Path() / file;
      fs::create_directories(path.parent_path());
      std::ofstream(path) << file;
    }
  }
  std::string Root() const { return scratch_.Path().string(); }
  std::string At(const std::string& relative) const { return Root() + kSep + relative; }
  /// The paths with the scratch folder and its separator removed, separators written as "/".
  std::vector<std::string> Relative(const StringList& paths) const {
    std::vector<std::string> out;
    for (const std::string& path : paths) {
      EXPECT_EQ(path.rfind(Root() + kSep, 0), 0u) << path;
      out.push_back(path.substr(Root().size() + 1));
    }
    return Slashed(out);
  }
  static std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  }
  std::vector<std::string> Collect(const std::string& path, const std::string& masks,
                                   bool recurse) {
    return Relative(CollectFiles(path, masks, recurse, 0x17));
  }

  test::TScratchDir scratch_;
};

using Names = std::vector<std::string>;

TEST_F(Searcher, WithoutRecursionOnlyTheFolderOwnFiles) {
  Make({"a.txt", "b.dat", "sub/c.txt", "sub/deeper/d.txt"});
  EXPECT_EQ(Sorted(Collect(Root(), "*", false)), (Names{"a.txt", "b.dat"}));
  EXPECT_EQ(Collect(Root(), "*.txt", false), (Names{"a.txt"}));
  EXPECT_EQ(Collect(At("sub"), "*", false), (Names{"sub/c.txt"}));
}

TEST_F(Searcher, DepthFirstWithFilesBeforeSubfolders) {
  Make({"1.txt", "2.txt", "x/1.txt", "x/2.txt", "x/y/1.txt", "x/y/z/1.txt", "x/w/1.txt",
        "x/w/2.txt", "v/1.txt", "v/u/1.txt", "v/u/2.txt", "t/s/1.txt"});
  const std::vector<std::string> found = Collect(Root(), "*", true);
  ASSERT_EQ(found.size(), 12u);
  EXPECT_EQ(std::set<std::string>(found.begin(), found.end()).size(), 12u);

  auto folderOf = [](const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  };
  for (std::size_t i = 0; i < found.size(); ++i) {
    for (std::size_t j = 0; j < found.size(); ++j) {
      const std::string fi = folderOf(found[i]), fj = folderOf(found[j]);
      // A file lying deeper below another file's folder comes after it.
      if (fj.size() > fi.size() && fj.rfind(fi, 0) == 0) {
        EXPECT_LT(i, j) << found[i] << " / " << found[j];
      }
    }
  }
  // Depth first: the files below any folder form one contiguous run.
  for (const std::string folder : {"x/", "x/y/", "x/w/", "v/", "v/u/", "t/"}) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < found.size(); ++i) {
      if (found[i].rfind(folder, 0) == 0) at.push_back(i);
    }
    ASSERT_FALSE(at.empty());
    EXPECT_EQ(at.back() - at.front() + 1, at.size()) << folder;
  }
}

TEST_F(Searcher, HooksSeeLevelsPathsAndEntries) {
  Make({"top.txt", "a/one.txt", "a/b/two.txt", "a/b/c/three.txt"});
  TFileSearcher searcher;
  searcher.SetDirectoryAttributeFilter(0x17);
  std::map<std::string, std::int32_t> fileLevels;
  std::vector<std::string> entered, foundFolders;
  searcher.SetOnFileFound([&](TFileSearcher& s) {
    EXPECT_TRUE(s.Searching());
    EXPECT_FALSE(s.IsDirectory());
    EXPECT_EQ(s.Path().back(), kSep);
    EXPECT_EQ(s.FullFileName(), s.Path() + s.FileInfo().Name());
    EXPECT_EQ(s.FileInfo().Size(),
              static_cast<std::int64_t>(s.FullFileName().size() - Root().size() - 1));
    fileLevels[s.FileInfo().Name()] = s.Level();
  });
  searcher.SetOnDirectoryEnter([&](TFileSearcher& s) {
    entered.push_back(s.FileInfo().Name() + "@" + std::to_string(s.Level()));
  });
  searcher.SetOnDirectoryFound([&](TFileSearcher& s) {
    EXPECT_TRUE(s.IsDirectory());
    EXPECT_NE(s.FileInfo().Attributes() & platform::kAttrDirectory, 0);
    foundFolders.push_back(s.FileInfo().Name());
  });
  searcher.Search(Root() + "/", "*", true);
  EXPECT_FALSE(searcher.Searching());
  EXPECT_EQ(fileLevels, (std::map<std::string, std::int32_t>{
                            {"top.txt", 0}, {"one.txt", 1}, {"two.txt", 2}, {"three.txt", 3}}));
  EXPECT_EQ(entered, (Names{"a@0", "b@1", "c@2"}));
  EXPECT_EQ(foundFolders, (Names{"a", "b", "c"}));

  // Without recursion subfolders are found but never entered.
  entered.clear();
  foundFolders.clear();
  fileLevels.clear();
  searcher.Search(Root(), "", false);
  EXPECT_EQ(fileLevels.size(), 1u);
  EXPECT_TRUE(entered.empty());
  EXPECT_EQ(foundFolders, (Names{"a"}));
}

TEST_F(Searcher, EmptyOrStarMaskListsEverythingIncludingHiddenFiles) {
  Make({".hidden", "plain", "x.y", ".config/settings"});
  const Names all{".config/settings", ".hidden", "plain", "x.y"};
  EXPECT_EQ(Sorted(Collect(Root(), "*", true)), all);
  EXPECT_EQ(Sorted(Collect(Root(), "", true)), all);
  EXPECT_EQ(Sorted(Collect(Root(), ";;", true)), all);
  EXPECT_EQ(Sorted(Collect(Root(), "*.*", true)), all);
  EXPECT_EQ(Sorted(Collect(Root(), "*.;plain", true)),
            (Names{".config/settings", ".hidden", "plain"}));
}

TEST_F(Searcher, MasksIgnoreCaseAndApplyToNamesOnly) {
  Make({"Page.HTM", "page.html", "notes.txt", "sub.htm/inner.txt"});
  EXPECT_EQ(Collect(Root(), "*.htm", true), (Names{"Page.HTM"}));
  EXPECT_EQ(Sorted(Collect(Root(), "*.HTM*;NOTES.*", true)),
            (Names{"Page.HTM", "notes.txt", "page.html"}));
  StringList list;
  TListFileSearcher searcher(list);
  searcher.Search(Root(), "*.htm", true, true);
  EXPECT_TRUE(list.empty());
}

TEST_F(Searcher, TrailingSeparatorsGiveTheSamePaths) {
  Make({"dir/a", "dir/b/c"});
  const Names expected = Sorted(Collect(At("dir"), "*", true));
  EXPECT_EQ(expected, (Names{"dir/a", "dir/b/c"}));
  EXPECT_EQ(Sorted(Collect(At("dir/"), "*", true)), expected);
  EXPECT_EQ(Sorted(Collect(At("dir//"), "*", true)), expected);
  EXPECT_EQ(Sorted(Collect(At("./dir/."), "*", true)), expected);
  EXPECT_EQ(Sorted(Collect(" " + At("dir/b/../") + " ", "*", true)), expected);
}

TEST_F(Searcher, OverlappingSearchPathsListEachFileOnce) {
  Make({"a/1", "a/sub/2", "a/sub/deep/3", "b/4"});
  const Names tree{"a/1", "a/sub/2", "a/sub/deep/3"};
  EXPECT_EQ(Sorted(Collect(At("a") + ";" + At("a/sub"), "*", true)), tree);
  EXPECT_EQ(Sorted(Collect(At("a/sub") + ";" + At("a"), "*", true)), tree);
  EXPECT_EQ(Sorted(Collect(At("a") + ";" + At("A"), "*", true)), tree);
  EXPECT_EQ(Sorted(Collect(At("a") + ";" + At("a/"), "*", false)), (Names{"a/1"}));
  // Without recursion a folder inside another is searched on its own.
  EXPECT_EQ(Sorted(Collect(At("a") + ";" + At("a/sub"), "*", false)), (Names{"a/1", "a/sub/2"}));
  // Pieces are searched in order.
  EXPECT_EQ(Collect(At("b") + ";" + At("a"), "*", false), (Names{"b/4", "a/1"}));
}

// "/" separates on every platform; the results are written with the native separator.
TEST(SearchPath, PiecesAreNormalisedAndDeduplicated) {
  EXPECT_EQ(NormalizeSearchFolder("/"), Native("/"));
  EXPECT_EQ(NormalizeSearchFolder("/./"), Native("/"));
  EXPECT_EQ(NormalizeSearchFolder("/.."), Native("/"));
  EXPECT_EQ(NormalizeSearchFolder("/data/"), Native("/data"));
  EXPECT_EQ(NormalizeSearchFolder("/data//sub///"), Native("/data/sub"));
  EXPECT_EQ(NormalizeSearchFolder(" /data/./x/../y "), Native("/data/y"));
  EXPECT_EQ(NormalizeSearchFolder("dir/"), "dir");
  EXPECT_EQ(NormalizeSearchFolder("./dir"), "dir");
  EXPECT_EQ(NormalizeSearchFolder("a/../.."), "..");
  EXPECT_EQ(NormalizeSearchFolder("../x/"), Native("../x"));
  EXPECT_EQ(NormalizeSearchFolder("."), "");
  EXPECT_EQ(NormalizeSearchFolder("   "), "");
  EXPECT_EQ(NormalizeSearchFolder("name with spaces"), "name with spaces");
  EXPECT_EQ(NormalizeSearchFolder("dots...x/y.z"), Native("dots...x/y.z"));

  EXPECT_EQ(Slashed(SearchFolders("x;X;x/y;/r;/r/s;;", true)), (Names{"x", "/r"}));
  EXPECT_EQ(Slashed(SearchFolders("x;X;x/y;/r;/r/s", false)), (Names{"x", "x/y", "/r", "/r/s"}));
  EXPECT_EQ(Slashed(SearchFolders("/Data/Sub;/DATA/sub/deep;/data", true)), (Names{"/data"}));
  EXPECT_EQ(Slashed(SearchFolders("/ab;/abc", true)), (Names{"/ab", "/abc"}));
  EXPECT_EQ(Slashed(SearchFolders("/x;/", true)), (Names{"/"}));
  EXPECT_EQ(Slashed(SearchFolders("/;/x", true)), (Names{"/"}));
  EXPECT_EQ(SearchFolders(" ; . ;", true), Names{});
}

TEST_F(Searcher, MissingFoldersContributeNothing) {
  Make({"here/f"});
  EXPECT_TRUE(Collect(At("nowhere"), "*", true).empty());
  EXPECT_EQ(Collect(At("nowhere") + ";" + At("here"), "*", true), (Names{"here/f"}));
  EXPECT_TRUE(Collect(At("here/f"), "*", true).empty());  // a file is not a folder
}

TEST_F(Searcher, ReentryRaisesTheBusyErrorAndTheSearchGoesOn) {
  Make({"1", "2", "3", "s/4"});
  StringList list;
  TListFileSearcher inner(list);
  TFileSearcher searcher;
  int busyErrors = 0;
  std::set<std::string> seen;
  searcher.SetOnFileFound([&](TFileSearcher& s) {
    const std::string before = s.FullFileName();
    try {
      s.Search(Root(), "*", true);
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "The file searcher is already searching!");
      ++busyErrors;
    }
    EXPECT_EQ(s.FullFileName(), before);
    EXPECT_TRUE(s.Searching());
    seen.insert(s.FileInfo().Name());
    inner.Search(At("s"), "*", false);  // a different searcher may run meanwhile
  });
  searcher.Search(Root(), "*", true);
  EXPECT_EQ(busyErrors, 4);
  EXPECT_EQ(seen, (std::set<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(list.size(), 4u);
  EXPECT_FALSE(searcher.Searching());
}

TEST_F(Searcher, MalformedMaskFailsBeforeListingAnything) {
  Make({"f"});
  TFileSearcher searcher;
  int calls = 0;
  searcher.SetOnFileFound([&](TFileSearcher&) { ++calls; });
  searcher.SetOnDirectoryFound([&](TFileSearcher&) { ++calls; });
  EXPECT_THROW(searcher.Search(Root(), "*.txt;[a-", true), EConvertError);
  EXPECT_FALSE(searcher.Searching());
  EXPECT_EQ(calls, 0);
  searcher.Search(Root(), "*", true);  // usable again
  EXPECT_EQ(calls, 1);
}

TEST_F(Searcher, AnErrorEscapingAHookEndsTheSearchCleanly) {
  Make({"f", "g"});
  TFileSearcher searcher;
  searcher.SetOnFileFound([](TFileSearcher&) { throw std::logic_error("stop"); });
  EXPECT_THROW(searcher.Search(Root(), "*", false), std::logic_error);
  EXPECT_FALSE(searcher.Searching());
}

TEST_F(Searcher, AbortStopsTheWalk) {
  Make({"a/1", "a/2", "a/3", "b/4", "5"});
  TFileSearcher searcher;
  int files = 0;
  searcher.SetOnFileFound([&](TFileSearcher& s) {
    ++files;
    s.Abort();
  });
  searcher.Search(At("a") + ";" + At("b"), "*", true);
  EXPECT_EQ(files, 1);
  searcher.Search(At("b"), "*", true);  // a new search starts afresh
  EXPECT_EQ(files, 2);
}

TEST_F(Searcher, EmptySearchPathMeansTheCurrentFolder) {
  Make({"here.txt", "sub/below.txt"});
  const fs::path previous = fs::current_path();
  fs::current_path(scratch_.Path());
  const StringList found = CollectFiles("", "*.txt", true, 0x17);
  const StringList dot = CollectFiles(" . ", "*.txt", true, 0x17);
  fs::current_path(previous);
  EXPECT_EQ(Sorted(Slashed(found)), (Names{"here.txt", "sub/below.txt"}));
  EXPECT_EQ(dot, found);
}

}  // namespace
}  // namespace tarvolin::files
