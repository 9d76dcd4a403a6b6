// Command-line engine: helpers shared by its units and the resets that engine start runs.
#pragma once

#include <string>
#include <vector>

namespace tarvolin::cmdline::detail {

/// Removes blanks and control characters from both ends.
std::string Trim(const std::string& text);
/// Splits a keyword string at blanks, commas and semicolons; runs of separators count as one.
std::vector<std::string> SplitKeywords(const std::string& keywords);
/// Splits at every `separator`, keeping empty parts: "a..b" gives "a", "", "b".
std::vector<std::string> SplitAt(const std::string& text, char separator);
/// Whether `c` is one of the symbol characters that may stand bare as a one-character keyword.
bool IsSymbolKeyword(char c);

// Each unit puts its part of the engine state back to its initial values.
void ResetValidationState();
void ResetScreenState();
void ResetBannerState();

}  // namespace tarvolin::cmdline::detail
