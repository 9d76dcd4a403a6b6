// Result line layouts and the option adjustments (-f, -s, -i, -p) that shape them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/options.h"

namespace tarvolin::app {

inline constexpr const char* kSeparatorLine = "---------------";
inline constexpr const char* kTextTag = "  {Text}  ";
inline constexpr const char* kFileTag = "  {File}  ";

/// Applies -f, then -s/-i, then -p to the selected algorithms' tags, prefixes and widths.
void ApplyLayoutOptions();

/// The checksum-file tag of a choice: its own where checksum files know it by another, else
/// " ?NAME*".
std::string FsumTagOf(THashChoices choice);

/// The size text: the size right-aligned in 12 characters inside braces, and one blank.
std::string SizeText(std::int64_t size);
std::string SizeTextUnsigned(std::uint64_t size);

/// Text item: prefix, digest, "  {Text}  ", the text.
std::string TextLine(THashChoices choice, const std::string& digest, const std::string& text);
/// File item or DIR file: prefix, size text, digest, tag, display name.
std::string FileLine(THashChoices choice, const std::string& sizeText, const std::string& digest,
                     const std::string& tag, const std::string& displayName);
/// COMPARE: prefix, verdict, first digest, a blank, second digest.
std::string CompareLine(THashChoices choice, const std::string& verdict, const std::string& first,
                        const std::string& second);

/// A name as a checksum listing writes it: a line break (and, where a backslash is no separator,
/// a backslash) would break the line or be misread, so such a name has backslash, LF and CR
/// written as two backslashes, backslash-n and backslash-r, and its line starts with a
/// backslash to say so. Returns whether the name was escaped; other names stay as they are.
bool EscapeListingName(std::string& name);

/// Appends the name with LF and CR (and, with `backslash`, the backslash) written as
/// backslash-n, backslash-r and two backslashes: the escaped form of a listing name.
void AppendEscapedName(std::string& out, std::string_view name, bool backslash);

}  // namespace tarvolin::app
