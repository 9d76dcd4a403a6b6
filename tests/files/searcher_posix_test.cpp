// The folder searcher with POSIX specials: link cycles, links to files and folders, broken
// links, pipes and sockets, permissions and the root folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "files/searcher.h"
#include "support/test_support.h"

namespace tarvolin::files {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class SearcherPosix : public ::testing::Test {
 protected:
  std::string At(const std::string& relative) const {
    return scratch_.Path().string() + "/" + relative;
  }
  void File(const std::string& relative, const std::string& content = "data") {
    fs::create_directories(fs::path(At(relative)).parent_path());
    std::ofstream(At(relative)) << content;
  }
  Names Collect(const std::string& relative, bool recurse) {
    Names out;
    const std::string root = scratch_.Path().string() + "/";
    for (const std::string& path : CollectFiles(At(relative), "*", recurse, 0x17)) {
      EXPECT_EQ(path.rfind(root, 0), 0u) << path;
      out.push_back(path.substr(root.size()));
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  test::TScratchDir scratch_;
};

TEST_F(SearcherPosix, LinkCyclesEnd) {
  File("top/a/x.txt");
  File("top/b/y.txt");
  fs::create_directory_symlink("..", At("top/a/up"));         // to top
  fs::create_directory_symlink(".", At("top/a/self"));        // to itself
  fs::create_directory_symlink(At("top"), At("top/b/root"));  // absolute, to top
  fs::create_directory_symlink("../a", At("top/b/sibling"));  // not on the path: followed
  EXPECT_EQ(Collect("top", true), (Names{"top/a/x.txt", "top/b/sibling/x.txt", "top/b/y.txt"}));
}

TEST_F(SearcherPosix, LinksToFilesAreFilesAndLinksToFoldersAreFollowed) {
  File("real/inner.txt");
  File("target.txt", "12345");
  fs::create_symlink(At("target.txt"), At("real/file-link"));
  fs::create_directory(At("tree"));
  fs::create_directory_symlink(At("real"), At("tree/folder-link"));
  EXPECT_EQ(Collect("real", false), (Names{"real/file-link", "real/inner.txt"}));
  EXPECT_EQ(Collect("tree", true),
            (Names{"tree/folder-link/file-link", "tree/folder-link/inner.txt"}));
  EXPECT_TRUE(Collect("tree", false).empty());  // the folder link is not a file

  StringList list;
  TListFileSearcher noFollow(list);
  noFollow.SetFollowLinks(false);
  noFollow.Search(At("tree"), "*", true);
  EXPECT_TRUE(list.empty());

  TFileSearcher sizes;
  std::int64_t linkSize = 0;
  sizes.SetOnFileFound([&](TFileSearcher& s) {
    if (s.FileInfo().Name() == "file-link") linkSize = s.FileInfo().Size();
  });
  sizes.Search(At("real"), "file-*", false);
  EXPECT_EQ(linkSize, 5);  // the target's size
}

TEST_F(SearcherPosix, BrokenLinksAreReported) {
  File("d/ok");
  fs::create_symlink(At("d/missing"), At("d/dangling"));
  fs::create_symlink("loop", At("d/loop"));  // a link to itself cannot be resolved either
  EXPECT_EQ(Collect("d", false), (Names{"d/dangling", "d/loop", "d/ok"}));

  TFileSearcher searcher;
  std::int64_t size = 0;
  searcher.SetOnFileFound([&](TFileSearcher& s) {
    if (s.FileInfo().Name() == "dangling") size = s.FileInfo().Size();
  });
  searcher.Search(At("d"), "*", false);
  EXPECT_EQ(size, -1);
}

TEST_F(SearcherPosix, PipesSocketsAndDevicesAreSkippedWithoutBlocking) {
  File("s/regular");
  ASSERT_EQ(::mkfifo(At("s/pipe").c_str(), 0600), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = At("s/socket");
  ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  fs::create_symlink(At("s/pipe"), At("s/pipe-link"));
  fs::create_symlink("/dev/null", At("s/device-link"));

  EXPECT_EQ(Collect("s", true), (Names{"s/regular"}));
  // A pipe named as the folder to search is not opened as one.
  EXPECT_TRUE(Collect("s/pipe", true).empty());
  ::close(sock);
}

TEST_F(SearcherPosix, AttributesOfEntries) {
  File("p/.dotfile");
  File("p/locked");
  File("p/open");
  ::chmod(At("p/locked").c_str(), 0444);
  std::map<std::string, std::uint16_t> attributes;
  TFileSearcher searcher;
  searcher.SetOnFileFound(
      [&](TFileSearcher& s) { attributes[s.FileInfo().Name()] = s.FileInfo().Attributes(); });
  searcher.Search(At("p"), "*", false);
  EXPECT_EQ(attributes[".dotfile"], platform::kAttrHidden);
  EXPECT_EQ(attributes["locked"], platform::kAttrReadOnly);
  EXPECT_EQ(attributes["open"], 0);
}

// Names starting with "." are hidden: the filters decide whether they are listed and entered.
TEST_F(SearcherPosix, AttributeFilters) {
  for (const char* file :
       {"q/visible", "q/.hidden", "q/.git/object", "q/src/.keep", "q/src/main"}) {
    File(file);
  }
  // The default subfolder filter (directory only) does not enter hidden folders.
  StringList list;
  TListFileSearcher plain(list);
  EXPECT_EQ(plain.DirectoryAttributeFilter(), platform::kAttrDirectory);
  EXPECT_EQ(plain.FileAttributeFilter(), platform::kAttrAnyFile);
  EXPECT_EQ(plain.MaskSeparator(), ';');
  EXPECT_TRUE(plain.FollowLinks());
  plain.Search(At("q"), "*", true);
  Names relative;
  for (const std::string& path : list) relative.push_back(path.substr(At("q/").size()));
  std::sort(relative.begin(), relative.end());
  EXPECT_EQ(relative, (Names{".hidden", "src/.keep", "src/main", "visible"}));

  // The program's filter includes them.
  EXPECT_EQ(Collect("q", true),
            (Names{"q/.git/object", "q/.hidden", "q/src/.keep", "q/src/main", "q/visible"}));

  // A first-pass filter without the hidden and directory bits skips hidden files and folders.
  TFileSearcher strict;
  strict.SetFileAttributeFilter(platform::kAttrReadOnly | platform::kAttrArchive);
  std::vector<std::string> files, folders;
  strict.SetOnFileFound([&](TFileSearcher& s) { files.push_back(s.FileInfo().Name()); });
  strict.SetOnDirectoryFound([&](TFileSearcher& s) { folders.push_back(s.FileInfo().Name()); });
  strict.Search(At("q"), "", false);
  EXPECT_EQ(files, (Names{"visible"}));
  EXPECT_TRUE(folders.empty());
}

// A chain of 3,000 folders, 9,000 bytes of path: far beyond what the system takes as one path,
// and deeper than a walk that recursed could be trusted to go. Every file is found, at its
// level, with its full path, and its entry information is read.
TEST_F(SearcherPosix, DeepTreesBeyondThePathLimit) {
  constexpr int kDepth = 3000;
  int folder = ::open(scratch_.Path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(folder, 0);
  std::string expected;
  for (int level = 1; level <= kDepth; ++level) {
    ASSERT_EQ(::mkdirat(folder, "ab", 0755), 0);
    const int child = ::openat(folder, "ab", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(child, 0);
    ::close(folder);
    folder = child;
    expected += "ab/";
    if (level % 1000 == 0) {
      const int file = ::openat(folder, "f.txt", O_WRONLY | O_CREAT, 0644);
      ASSERT_GE(file, 0);
      ASSERT_EQ(::write(file, "12345", 5), 5);
      ::close(file);
    }
  }
  ::close(folder);

  TFileSearcher searcher;
  std::vector<std::pair<std::int32_t, std::size_t>> found;  // level, path length
  std::int64_t sizes = 0;
  searcher.SetOnFileFound([&](TFileSearcher& s) {
    found.emplace_back(s.Level(), s.FullFileName().size());
    sizes += s.FileInfo().Size();
    EXPECT_TRUE(s.FullFileName().ends_with("/ab/f.txt")) << s.FullFileName().size();
  });
  searcher.Search(At("ab"), "*", true);
  const std::size_t root = At("").size();
  ASSERT_EQ(found.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(found[k].first, static_cast<std::int32_t>(1000 * (k + 1) - 1));
    EXPECT_EQ(found[k].second, root + 3 * 1000 * (k + 1) + 5);
  }
  EXPECT_EQ(sizes, 15);
}

TEST(SearcherRoot, TheRootKeepsItsSeparator) {
  EXPECT_EQ(NormalizeSearchFolder("//"), "/");
  EXPECT_EQ(SearchFolders("/", true), (Names{"/"}));
  EXPECT_EQ(SearchFolders("///", false), (Names{"/"}));
  // One look at the root's own entries (no walk): names are joined without a doubled separator.
  TFileSearcher searcher;
  std::string path, full;
  searcher.SetOnDirectoryFound([&](TFileSearcher& s) {
    path = s.Path();
    full = s.FullFileName();
    s.Abort();
  });
  searcher.Search("/", "", false);
  ASSERT_FALSE(full.empty());
  EXPECT_EQ(path, "/");
  EXPECT_EQ(full.rfind("//", 0), std::string::npos);
  EXPECT_EQ(full[0], '/');
}

}  // namespace
}  // namespace tarvolin::files
