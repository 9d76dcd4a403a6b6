// Command-line engine: helpers shared by its units and the resets that engine start runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::cmdline::detail {

/// Removes blanks and control characters from both ends.
std::string Trim(const std::string& text);
/// Splits a keyword string at blanks, commas and semicolons; runs of separators count as one.
std::vector<std::string> SplitKeywords(const std::string& keywords);
/// Splits at every `separator`, keeping empty parts: "a..b" gives "a", "", "b".
std::vector<std::string> SplitAt(const std::string& text, char separator);

/// Whether a keyword mode (`KeywordMode`'s values) lets a symbol keyword stand bare.
bool AllowsBareSymbols(std::int32_t mode);
/// Whether a keyword mode lets a value be attached to its keyword.
bool AllowsAttachedValues(std::int32_t mode);
/// The characters that attach a value to its keyword, in the order the valid forms list them.
inline constexpr std::string_view kAttachCharacters = ":=";
/// The switch characters `keyword` may be given with, in matching order: "/" and "-" for a
/// one-character keyword (and nothing at all first, for a symbol keyword where `bareSymbols`),
/// "/" and "--" for a longer one, with "-" between them unless `DoubleDashOnly`.
std::vector<std::string> KeywordPrefixes(const std::string& keyword, bool bareSymbols);

// Each unit puts its part of the engine state back to its initial values.
void ResetValidationState();
void ResetScreenState();
void ResetBannerState();

}  // namespace tarvolin::cmdline::detail
