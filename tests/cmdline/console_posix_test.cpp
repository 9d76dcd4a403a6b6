// Tests of the key wait, the beep and the execution path in a separate process whose standard
// input is a file or a pipe.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace tarvolin::cmdline {
namespace {

namespace fs = std::filesystem;

const std::string kPrompt = "Press Any Key to Continue...";

std::string Helper() {
  return fs::canonical(TARVOLIN_CONSOLE_HELPER).string();
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

TEST(KeyWait, InputAtItsEndEndsTheWaitAtOnce) {
  // No dot: the wait did not sleep a single tick.
  const auto out = test::RunCommand(Quoted(Helper()) + " wait 30 < /dev/null");
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(*out, kPrompt + "\n\n");
}

TEST(KeyWait, WithoutInputEveryTickWritesADot) {
  // The pipe stays open and empty for longer than the two ticks.
  const auto out =
      test::RunCommand("{ sleep 5 2>/dev/null <&- & } | " + Quoted(Helper()) + " wait 2");
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(*out, kPrompt + "..\n\n");
}

TEST(ErrorScreen, BeepAndDelayFollowTheScreenOnStandardError) {
  const std::string helper = Helper();
  const auto err =
      test::RunCommand(Quoted(helper) + " screen 1 1 'Some message' 2>&1 >/dev/null </dev/null");
  ASSERT_TRUE(err.has_value());
  const std::string folder = fs::path(helper).parent_path().string();
  EXPECT_EQ(*err, "Invalid or Incomplete Syntax!\n\nExecution Path ... " + folder +
                      "\nYou entered ...... " + helper +
                      " screen 1 1 \"Some message\"\n\nSome message\n\n\a" + kPrompt +
                      "\n\nafter the screen\n");
}

TEST(ErrorScreen, WithoutOptionsNothingWaitsOrBeeps) {
  const auto err = test::RunCommand(Quoted(Helper()) + " screen 0 0 M 2>&1 >/dev/null");
  ASSERT_TRUE(err.has_value());
  EXPECT_EQ(err->substr(err->size() - 22), "\n\nM\n\nafter the screen\n");
}

TEST(ErrorScreen, ProgramFolderWithABlankIsQuoted) {
  test::TScratchDir scratch;
  const fs::path folder = fs::canonical(scratch.Path()) / "with blank";
  fs::create_directory(folder);
  const fs::path copy = folder / "helper";
  fs::copy_file(Helper(), copy);
  const auto err = test::RunCommand(Quoted(copy.string()) + " screen 0 0 M 2>&1 >/dev/null");
  ASSERT_TRUE(err.has_value());
  EXPECT_NE(err->find("\nExecution Path ... \"" + folder.string() + "\"\nYou entered ...... \"" +
                      copy.string() + "\" screen"),
            std::string::npos)
      << *err;
}

}  // namespace
}  // namespace tarvolin::cmdline
