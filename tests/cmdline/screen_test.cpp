// Tests of the syntax error screens and the dash lines, captured through the console streams.
#include "cmdline/screen.h"

#include <gtest/gtest.h>

#include "cmdline/engine_test_util.h"
#include "platform/platform.h"

namespace tarvolin::cmdline {
namespace {

class Screens : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProcessArguments({"/usr/local/bin/tarvolin", "-n", "two words", ""});
    StartEngine();
    ErrorOut = errors_.Stream();
    ConsoleOut = console_.Stream();
  }
  void TearDown() override { StartEngine(); }  // back on the standard streams

  std::string ScreenFor(const std::string& messageLine) const {
    return "Invalid or Incomplete Syntax!\n\nExecution Path ... " + ExecPath +
           "\nYou entered ...... /usr/local/bin/tarvolin -n \"two words\" \"\"\n\n" + messageLine +
           "\n\n";
  }

  test::TCapturedStream errors_;
  test::TCapturedStream console_;
};

TEST_F(Screens, ExecPathIsTheProgramFolder) {
  const std::string program = platform::ProgramPath();
  EXPECT_EQ(ExecPath, QuoteIfSpaced(program.substr(0, platform::LastSeparator(program))));
}

TEST_F(Screens, MessageScreenMovesTheConsoleToStandardError) {
  ShowSyntaxMessage("Missing Essential Parameters (e.g. -d)", false, false);
  EXPECT_EQ(errors_.Text(), ScreenFor("Missing Essential Parameters (e.g. -d)"));
  EXPECT_EQ(ConsoleOut, ErrorOut);
  WriteDashLine(3, false);  // what the help writes next follows the screen
  EXPECT_EQ(errors_.Text(), ScreenFor("Missing Essential Parameters (e.g. -d)") + "---\n");
  EXPECT_EQ(console_.Text(), "");
}

TEST_F(Screens, SyntaxScreenAddsTheDefinitionPhraseWithOneBlank) {
  ShowSyntaxScreen("Bad", false, false);
  ShowSyntaxScreen("Bad ", false, false);
  EXPECT_EQ(errors_.Text(), ScreenFor("Bad (See Syntax Definition Below)") +
                                ScreenFor("Bad (See Syntax Definition Below)"));
}

TEST_F(Screens, DashLines) {
  WriteDashLine(5, false);
  WriteDashLine(2, true);
  WriteDashLine(0, false);
  WriteDashLine(-3, false);
  EXPECT_EQ(console_.Text(), "-----\n--\n\n\n\n");
  EXPECT_EQ(errors_.Text(), "");
}

}  // namespace
}  // namespace tarvolin::cmdline
