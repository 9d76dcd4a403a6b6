// The manual page and the shell completions the build generates: every keyword of the option
// table in each of them, a manual page groff takes without a warning, completions that load in
// their shells and offer the keywords.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "app/options.h"
#include "cmdline/ascii_case.h"
#include "support/test_support.h"

namespace tarvolin::app {
namespace {

using test::HaveProgram;
using test::RunCommand;

std::string DocsFile(const std::string& name) {
  return std::string(TARVOLIN_DOCS_DIR) + "/" + name;
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

/// Every keyword of the table as the help shows it: "-x" or "--xyz", lower case.
std::set<std::string> TableForms() {
  std::set<std::string> forms;
  for (const TOptionRow& row : kOptionTable) {
    std::istringstream words(row.Keywords);
    for (std::string word; words >> word;) {
      forms.insert((word.size() == 1 ? "-" : "--") + cmdline::AsciiLowerCase(word));
    }
  }
  return forms;
}

std::set<std::string> Lines(const std::string& text, bool firstFieldOnly = false) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.insert(firstFieldOnly ? line.substr(0, line.find('\t')) : line);
  }
  return lines;
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

TEST(Docs, ManualNamesEveryKeywordAndGroffTakesIt) {
  const std::string manual = ReadText(DocsFile("tarvolin.1"));
  ASSERT_FALSE(manual.empty());
  for (const std::string& form : TableForms()) {
    std::string roff;
    for (const char c : form) roff += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(manual.find("\\fB" + roff + "\\fR"), std::string::npos) << form;
  }
  for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "\"EXIT STATUS\"",
                              "ENVIRONMENT", "EXAMPLES", "\"SEE ALSO\""}) {
    EXPECT_NE(manual.find(std::string("\n.SH ") + section + "\n"), std::string::npos) << section;
  }
  EXPECT_NE(manual.find("\n.B 106\n"), std::string::npos);
  EXPECT_NE(manual.find(std::string("\n.B ") + kThreadsVariable + "\n"), std::string::npos);

  if (!HaveProgram("groff")) GTEST_SKIP() << "SKIPPED LOUDLY: groff is not installed";
  const auto warnings = RunCommand("groff -man -ww -z " + Quoted(DocsFile("tarvolin.1")) + " 2>&1");
  ASSERT_TRUE(warnings.has_value());
  EXPECT_EQ(*warnings, "");
}

TEST(Docs, BashCompletionOffersEveryKeywordAndFolders) {
  if (!HaveProgram("bash")) GTEST_SKIP() << "SKIPPED LOUDLY: bash is not installed";
  const std::string source = "source " + Quoted(DocsFile("tarvolin.bash")) + "; ";
  EXPECT_EQ(RunCommand("bash -c " + Quoted(source + "complete -p tarvolin")),
            "complete -o default -F _tarvolin tarvolin\n");
  const std::string reply = "; _tarvolin; printf \"%s\\n\" \"${COMPREPLY[@]}\"";
  const auto options =
      RunCommand("bash -c " + Quoted(source + "COMP_WORDS=(tarvolin -); COMP_CWORD=1" + reply));
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(Lines(*options), TableForms());

  // After -d (any accepted form, any case) only folders; after -m nothing.
  test::TScratchDir scratch;
  std::filesystem::create_directory(scratch.Path() / "sub");
  scratch.WriteFile("file", {});
  const std::string inScratch = "cd " + Quoted(scratch.Path().string()) + " && bash -c ";
  EXPECT_EQ(RunCommand(inScratch + Quoted(source +
                                          "COMP_WORDS=(tarvolin -R /Dir \"\"); "
                                          "COMP_CWORD=3" +
                                          reply)),
            "sub\n");
  EXPECT_EQ(RunCommand(inScratch +
                       Quoted(source + "COMP_WORDS=(tarvolin -m \"\"); COMP_CWORD=2" + reply)),
            "\n");
}

TEST(Docs, ZshCompletionRegistersAndNamesEveryKeyword) {
  const std::string completion = ReadText(DocsFile("_tarvolin"));
  for (const std::string& form : TableForms()) {
    const bool named = completion.find(Quoted(form)) != std::string::npos ||
                       completion.find("'" + form + "[") != std::string::npos;
    EXPECT_TRUE(named) << form;
  }
  if (!HaveProgram("zsh")) GTEST_SKIP() << "SKIPPED LOUDLY: zsh is not installed";
  // A clean shell: the folder first on fpath, compinit without a dump file, the function
  // parsed (+X loads it without running it).
  const std::string script = "fpath=(" + Quoted(TARVOLIN_DOCS_DIR) +
                             " $fpath); autoload -Uz compinit; compinit -u -D; "
                             "autoload -Uz +X _tarvolin && print -r -- $_comps[tarvolin]";
  EXPECT_EQ(RunCommand("zsh -f -c " + Quoted(script) + " 2>&1"), "_tarvolin\n");
}

TEST(Docs, FishCompletionOffersEveryKeyword) {
  if (!HaveProgram("fish")) GTEST_SKIP() << "SKIPPED LOUDLY: fish is not installed";
  const auto offered = RunCommand(
      "fish --no-config -c " + Quoted("source " + DocsFile("tarvolin.fish") +
                                      "; complete -C\"tarvolin -\"; complete -C\"tarvolin --\""));
  ASSERT_TRUE(offered.has_value());
  const std::set<std::string> forms = Lines(*offered, true);
  for (const std::string& form : TableForms()) EXPECT_TRUE(forms.contains(form)) << form;
}

}  // namespace
}  // namespace tarvolin::app
