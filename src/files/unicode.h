// UTF-8 text helpers: decoding and encoding code points, counting characters, and the simple
// per-code-point Unicode lower- and upper-case mappings used by masks and exclusion matching.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvolin::files {

/// One character of UTF-8 text: a code point encoded in `Length` bytes. A byte that does not
/// start a valid sequence (a stray continuation byte, a truncated or overlong sequence, an
/// encoded surrogate or a value above U+10FFFF) is a character of its own: `Valid` is false,
/// `Length` is 1 and `CodePoint` is the byte value.
struct TUtf8Char {
  char32_t CodePoint = 0;
  std::size_t Length = 0;
  bool Valid = false;
};

/// Decodes the character starting at byte `position` of `text` (which must be below its size).
TUtf8Char DecodeUtf8(std::string_view text, std::size_t position) noexcept;

/// Byte length of the character starting at `position` (1 for an invalid byte).
inline std::size_t Utf8CharLength(std::string_view text, std::size_t position) noexcept {
  const auto lead = static_cast<unsigned char>(text[position]);
  return lead < 0x80 ? 1 : DecodeUtf8(text, position).Length;
}

/// Appends the UTF-8 form of a code point; values that cannot be encoded (surrogates, above
/// U+10FFFF) append U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

/// The UTF-8 form of a code point.
std::string EncodeUtf8(char32_t codePoint);

/// Number of characters in the text; every invalid byte counts as one.
std::size_t CharacterCount(std::string_view text) noexcept;

/// Simple lower-case mapping of one code point (itself when it has none).
char32_t SimpleLowerCase(char32_t codePoint) noexcept;

/// Simple upper-case mapping of one code point (itself when it has none).
char32_t SimpleUpperCase(char32_t codePoint) noexcept;

/// Simple case folding: the lower-case mapping of the upper-case mapping. Unlike the plain
/// lower-case mapping it brings together characters that share an upper-case form (the micro
/// sign and the Greek mu, the long s and s), so a character always folds as its upper-case form.
char32_t SimpleCaseFold(char32_t codePoint) noexcept;

/// The text with every character lower-cased by the simple mapping; invalid bytes are kept.
std::string LowerCaseUtf8(std::string_view text);

/// The text with every character upper-cased by the simple mapping; invalid bytes are kept.
std::string UpperCaseUtf8(std::string_view text);

/// The text with every character folded by `SimpleCaseFold`; invalid bytes are kept.
std::string CaseFoldUtf8(std::string_view text);

/// Whether two texts are equal without regard to letter case: character by character, two
/// characters match when they are equal or have the same lower-case or the same upper-case
/// mapping. Invalid bytes match only themselves.
bool SameTextIgnoringCase(std::string_view a, std::string_view b) noexcept;

/// Whether `text` begins with `prefix`, compared as SameTextIgnoringCase does.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) noexcept;

}  // namespace tarvolin::files
