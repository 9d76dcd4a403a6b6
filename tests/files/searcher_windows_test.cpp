// The folder searcher on Windows: drive roots, shares and both separators in search paths, and
// the hidden and system attributes that decide what the filters let through.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "files/searcher.h"
#include "support/test_support.h"

namespace tarvolin::files {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

TEST(SearchPathWindows, DrivesSharesAndBothSeparators) {
  EXPECT_EQ(NormalizeSearchFolder("C:\\"), "C:\\");
  EXPECT_EQ(NormalizeSearchFolder("C:/"), "C:\\");
  EXPECT_EQ(NormalizeSearchFolder("C:\\\\"), "C:\\");
  EXPECT_EQ(NormalizeSearchFolder("C:\\Data\\"), "C:\\Data");
  EXPECT_EQ(NormalizeSearchFolder("C:/Data//Sub/"), "C:\\Data\\Sub");
  EXPECT_EQ(NormalizeSearchFolder("c:\\Data\\..\\.."), "c:\\");
  EXPECT_EQ(NormalizeSearchFolder(" C:\\Data\\.\\x\\..\\y "), "C:\\Data\\y");
  EXPECT_EQ(NormalizeSearchFolder("\\\\server\\share\\a\\..\\b\\"), "\\\\server\\share\\b");
  EXPECT_EQ(NormalizeSearchFolder("//server/share/"), "\\\\server\\share\\");
  EXPECT_EQ(NormalizeSearchFolder("\\"), "\\");
  EXPECT_EQ(NormalizeSearchFolder("a/b\\c"), "a\\b\\c");

  EXPECT_EQ(SearchFolders("C:\\Data;c:\\data", true), (Names{"C:\\Data"}));
  EXPECT_EQ(SearchFolders("C:\\Data\\Sub;C:/data", true), (Names{"C:\\data"}));
  EXPECT_EQ(SearchFolders("C:\\Data;C:\\", true), (Names{"C:\\"}));
  EXPECT_EQ(SearchFolders("C:\\Data;D:\\Data", true), (Names{"C:\\Data", "D:\\Data"}));
}

class SearcherWindows : public ::testing::Test {
 protected:
  std::string Root() const { return scratch_.Path().string(); }
  void File(const std::string& relative) {
    const fs::path path = scratch_.Path() / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << relative;
  }
  void SetAttributes(const std::string& relative, DWORD attributes) {
    ASSERT_TRUE(::SetFileAttributesW((scratch_.Path() / relative).wstring().c_str(), attributes));
  }
  Names Relative(const StringList& paths) const {
    Names out;
    for (const std::string& path : paths) {
      EXPECT_EQ(path.rfind(Root() + "\\", 0), 0u) << path;
      out.push_back(path.substr(Root().size() + 1));
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  void TearDown() override {
    // Read-only, hidden and system entries must not keep the scratch folder from going away.
    for (const auto& entry : fs::recursive_directory_iterator(scratch_.Path())) {
      ::SetFileAttributesW(entry.path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
  }

  test::TScratchDir scratch_;
};

TEST_F(SearcherWindows, HiddenAndSystemEntriesFollowTheFilters) {
  File("visible.txt");
  File("hidden.txt");
  File("system.txt");
  File("secret\\inner.txt");
  File("plain\\.dotted");  // a leading dot means nothing here
  SetAttributes("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  SetAttributes("system.txt", FILE_ATTRIBUTE_SYSTEM);
  SetAttributes("secret", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);

  // The program's filter (0x17) lets everything through, hidden folders entered.
  EXPECT_EQ(
      Relative(CollectFiles(Root(), "*", true, 0x17)),
      (Names{"hidden.txt", "plain\\.dotted", "secret\\inner.txt", "system.txt", "visible.txt"}));
  // The default subfolder filter (directory only) does not enter the hidden folder.
  StringList list;
  TListFileSearcher plain(list);
  plain.Search(Root(), "*", true);
  EXPECT_EQ(Relative(list), (Names{"hidden.txt", "plain\\.dotted", "system.txt", "visible.txt"}));
  // A first-pass filter without the hidden and system bits skips those files.
  TFileSearcher strict;
  strict.SetFileAttributeFilter(platform::kAttrReadOnly | platform::kAttrArchive |
                                platform::kAttrDirectory);
  Names files;
  strict.SetOnFileFound([&](TFileSearcher& s) { files.push_back(s.FileInfo().Name()); });
  strict.Search(Root(), "", false);
  EXPECT_EQ(files, (Names{"visible.txt"}));
}

TEST_F(SearcherWindows, ForwardSlashesGiveNativePaths) {
  File("a\\b\\c.txt");
  std::string forward = Root();
  std::replace(forward.begin(), forward.end(), '\\', '/');
  EXPECT_EQ(Relative(CollectFiles(forward + "/a/", "*.TXT", true, 0x17)), (Names{"a\\b\\c.txt"}));
}

TEST_F(SearcherWindows, ReadOnlyAttributeIsReported) {
  File("locked.txt");
  SetAttributes("locked.txt", FILE_ATTRIBUTE_READONLY);
  std::uint16_t attributes = 0;
  TFileSearcher searcher;
  searcher.SetOnFileFound([&](TFileSearcher& s) { attributes = s.FileInfo().Attributes(); });
  searcher.Search(Root(), "*", false);
  EXPECT_NE(attributes & platform::kAttrReadOnly, 0);
  EXPECT_EQ(attributes & platform::kAttrDirectory, 0);
}

}  // namespace
}  // namespace tarvolin::files
