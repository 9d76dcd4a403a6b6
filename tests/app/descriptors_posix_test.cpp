// Whole runs in this process, counting its open file descriptors before and after: no mode
// leaves one open, however its files fail (a broken link, a read error after opening, a pipe
// put where a file was, an unreadable exclusion or summary file).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/run.h"
#include "support/test_support.h"

namespace tarvolin::app {
namespace {

namespace fs = std::filesystem;

std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Descriptors : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists("/proc/self/fd")) GTEST_SKIP() << "SKIPPED LOUDLY: no /proc/self/fd here";
    const fs::path root = scratch_.Path() / "t";
    for (int d = 0; d < 10; ++d) {
      const fs::path folder = root / test::NumberedName("d", d) / "sub";
      fs::create_directories(folder);
      for (int f = 0; f < 100; ++f) {
        std::ofstream(folder / test::NumberedName("f", f)) << f;
      }
      fs::create_symlink("/proc/self/mem", folder / "mem");  // opens, then reading fails
      fs::create_symlink("nowhere", folder / "broken");      // does not open
      ::mkfifo((folder / "fifo").c_str(), 0644);             // never listed as a file
    }
    root_ = root.string();
    out_ = (scratch_.Path() / "out.txt").string();
  }

  int Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "tarvolin");
    return GenerateHashes(arguments);
  }

  test::TScratchDir scratch_;
  std::string root_;
  std::string out_;
};

TEST_F(Descriptors, NoModeLeavesOneOpen) {
  const std::size_t before = OpenDescriptors();

  EXPECT_EQ(Run({"-c", "-r", "--all", "-o", out_, "-d", root_}), 0);
  EXPECT_NE(ReadAll(out_).find("Success = 1000   Unfiltered = 1020   Error = 20"),
            std::string::npos);
  EXPECT_EQ(OpenDescriptors(), before) << "DIR mode";

  const std::string mem = root_ + "/d0/sub/mem";
  const std::string broken = root_ + "/d0/sub/broken";
  const std::string file = root_ + "/d0/sub/f1";
  EXPECT_EQ(Run({"-c", "-o", out_, "-u", "/proc/no/summary.txt", mem, broken, file, "text"}), 105);
  EXPECT_EQ(OpenDescriptors(), before) << "LIST mode";

  EXPECT_EQ(Run({"-o", out_, "-k", mem, file}), 0);
  EXPECT_EQ(Run({"-o", out_, "-k", file, file}), 0);
  EXPECT_EQ(OpenDescriptors(), before) << "COMPARE mode";

  EXPECT_EQ(Run({"-o", out_, "-e", mem, "-d", root_}), 103);  // the exclusion file fails
  EXPECT_EQ(Run({"-o", "/proc/no/out.txt", "-d", root_}), 72);
  EXPECT_EQ(Run({"-o", "/dev/full", "-r", "-d", root_}), 72);
  EXPECT_EQ(OpenDescriptors(), before) << "failed runs";
}

}  // namespace
}  // namespace tarvolin::app
