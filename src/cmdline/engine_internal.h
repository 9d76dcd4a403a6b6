// Command-line engine: helpers shared by its units and the resets that engine start runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::cmdline::detail {

/// ASCII upper and lower case; other bytes (UTF-8 sequences included) stay as they are.
char UpperChar(char c);
std::string UpperCase(std::string text);
std::string LowerCase(std::string text);
/// Equal without regard to ASCII letter case.
bool SameText(std::string_view a, std::string_view b);
/// Removes blanks and control characters from both ends.
std::string Trim(const std::string& text);
/// Splits a keyword string at blanks, commas and semicolons; runs of separators count as one.
std::vector<std::string> SplitKeywords(const std::string& keywords);
/// Whether `c` is one of the symbol characters that may stand bare as a one-character keyword.
bool IsSymbolKeyword(char c);

// Each unit puts its part of the engine state back to its initial values.
void ResetValidationState();
void ResetScreenState();
void ResetBannerState();

}  // namespace tarvolin::cmdline::detail
