// The version reader where the strings are fixed at build time: only the running program's own
// file has them, under any name.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.h"
#include "support/test_support.h"
#include "version/version.h"

namespace tarvolin::version {
namespace {

namespace fs = std::filesystem;

TEST(VersionReaderPosix, SameFileUnderAnotherName) {
  test::TScratchDir scratch;
  const fs::path link = scratch.Path() / "link";
  fs::create_symlink(platform::ProgramPath(), link);
  EXPECT_NO_THROW(ReadVersionStrings(link.string()));
}

TEST(VersionReaderPosix, ACopyOfTheProgramHasNone) {
  test::TScratchDir scratch;
  const std::string copy = (scratch.Path() / "copy").string();
  fs::copy_file(platform::ProgramPath(), copy);
  EXPECT_THROW(ReadVersionStrings(copy), EVersionInfo);
}

}  // namespace
}  // namespace tarvolin::version
