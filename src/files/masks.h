// Wildcard masks: one compiled pattern (TMask), a list of them split from one text (TMaskList)
// and the splitter itself (TParseStringList). Names and patterns are UTF-8.
#pragma once

#include <bitset>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::files {

/// Raised when a mask holds a malformed character set.
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

/// One element of a compiled mask.
struct TMaskChar {
  enum class TKind : std::uint8_t { Literal, CharSet, AnyChar, AnyText };
  TKind Kind = TKind::AnyChar;
  /// Literal: the character's UTF-8 bytes (case-folded unless the mask is case-sensitive).
  std::string Literal;
  /// Character set: the byte values it holds, and whether it matches bytes outside it instead.
  std::bitset<256> Set;
  bool Negated = false;
};

/// A compiled pattern: the smallest and largest number of characters a matching name can have,
/// and the elements.
struct TMaskString {
  std::int32_t MinLength = 0;
  std::int32_t MaxLength = 0;
  std::vector<TMaskChar> Elements;
};

/// One wildcard pattern. "*" matches any run of characters, "?" exactly one character, "[...]"
/// one single-byte character of a set ("[!...]" outside it, "a-z" ranges); everything else
/// matches itself. There is no escape character.
class TMask {
 public:
  /// The largest maximum length; a pattern holding "*" has it.
  static constexpr std::int32_t kUnlimited = 2147483647;

  /// Compiles the pattern; throws EConvertError for a malformed character set.
  explicit TMask(const std::string& maskText, bool caseSensitive = false);

  /// Plain pattern match of a whole name.
  bool MatchText(std::string_view name) const;

  /// Match with the file-name rules: a mask ending in "*.*" ignores its ".*"; one ending in "."
  /// accepts only names without an extension; one ending in ".*" also accepts the bare name.
  bool MatchFileName(std::string_view name) const;

  const std::string& MaskText() const noexcept { return mask_text_; }
  bool CaseSensitive() const noexcept { return case_sensitive_; }
  /// The compiled form of the mask text.
  const TMaskString& Compiled() const noexcept { return compiled_; }

 private:
  enum class FileRule : std::uint8_t { Plain, DropDotStar, NoExtension, BareNameToo };

  static TMaskString Compile(const std::string& text, bool caseSensitive);
  static bool Match(const TMaskString& mask, std::string_view name, bool caseSensitive);

  std::string mask_text_;
  bool case_sensitive_;
  TMaskString compiled_;
  FileRule file_rule_ = FileRule::Plain;
  /// The mask text with its file-name suffix removed, compiled (rules "*.*" and ".").
  TMaskString shortened_;
  /// The mask text without its last two characters (rule ".*"), case-folded unless the mask is
  /// case-sensitive.
  std::string bare_name_;
};

/// A text split into pieces at any of a set of separator characters. Empty pieces are dropped;
/// nothing is trimmed.
class TParseStringList {
 public:
  TParseStringList(std::string_view text, std::string_view separators);

  std::size_t Count() const noexcept { return items_.size(); }
  const std::string& operator[](std::size_t index) const { return items_[index]; }
  const std::vector<std::string>& Items() const noexcept { return items_; }
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }

 private:
  std::vector<std::string> items_;
};

/// Several masks split from one text; a name matches when any of them does.
class TMaskList {
 public:
  /// Splits the text at the separator and compiles every piece; throws EConvertError when a
  /// piece holds a malformed character set.
  TMaskList(std::string_view listText, char separator = ';', bool caseSensitive = false);

  std::size_t Count() const noexcept { return masks_.size(); }
  const TMask& operator[](std::size_t index) const { return masks_[index]; }

  /// Whether any mask accepts the name with the file-name rules (false for an empty list).
  bool MatchFileName(std::string_view name) const;

 private:
  std::vector<TMask> masks_;
};

}  // namespace tarvolin::files
