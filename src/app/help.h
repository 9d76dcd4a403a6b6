// The help screens: brief, normal and extended, written on the console stream. Their texts are
// also what the manual page and the shell completions are generated from.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tarvolin::app {

/// The brief form (`brief`), else the normal form, or the extended one when -v was found.
void ShowHelp(bool brief);

/// What the placeholders of a help line stand for.
struct THelpPlaceholders {
  std::string Name;     ///< {NAME}: the program's name
  std::string File;     ///< {FILE}: its file name
  std::string Path;     ///< {PATH}: its full path
  std::string Folder;   ///< {FOLDER}: its folder
  std::string Summary;  ///< {SUMMARY}: the default summary file
};

/// `line` with its placeholders filled in.
std::string FillHelpLine(std::string_view line, const THelpPlaceholders& values);

/// The lines of the help screens' parts, as written before their placeholders are filled in.
struct THelpTexts {
  std::span<const char* const> CmdSyntax;    ///< LIST, DIR and COMPARE: short form, full form
  std::span<const char* const> CheckSyntax;  ///< CHECK mode (full help only)
  std::span<const char* const> HelpSyntax;
  /// " -5, --md5 ....... Generate MD5 hashes": the keywords as the help shows them, a dotted
  /// leader, the description. Every option row has a line here or in `ErrorOptionLines`.
  std::span<const char* const> OptionDefinitions;
  std::span<const char* const> ErrorOptionLines;  ///< extended help only
  std::span<const char* const> SyntaxExamples;
  /// The notes: " * " starts an item, deeper indents continue it or start a nested one.
  std::span<const char* const> GeneralNotes;
  std::span<const char* const> AppNotes;
  std::span<const char* const> Algorithms;
  std::span<const char* const> HashNotes;
  /// A heading item, then "    NNN - meaning" per exit code.
  std::span<const char* const> ExitCodes;
};
const THelpTexts& HelpTexts();

}  // namespace tarvolin::app
