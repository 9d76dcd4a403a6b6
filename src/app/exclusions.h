// The exclusion list of DIR mode: one path fragment per line, matched anywhere in a file's full
// path without regard to letter case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::app {

/// Turns a text file's bytes, handed over in pieces of any size, into UTF-8 text whose lines all
/// end with LF. A UTF-16 LE, UTF-16 BE or UTF-8 byte-order mark selects the encoding (and is
/// dropped); without one the bytes are taken as UTF-8 as they are, valid or not. Lines end with
/// CR LF, LF or CR.
class TextDecoder {
 public:
  /// Appends the text of the next bytes; what depends on bytes still to come waits for them.
  void Feed(std::string_view bytes, std::string& text);
  /// Appends what waits after the last bytes: an unpaired high surrogate becomes U+FFFD, an odd
  /// last byte of UTF-16 is dropped.
  void Finish(std::string& text);

 private:
  enum class Encoding : std::uint8_t { Undecided, Utf8, Utf16Le, Utf16Be };

  void Decide(bool final, std::string& text);
  void DecodeUtf16(std::string_view bytes, std::string& text);
  void AppendLines(std::string_view utf8, std::string& text);

  Encoding encoding_ = Encoding::Undecided;
  std::string head_;            // the first bytes while they may still be a byte-order mark
  bool after_cr_ = false;       // the last character was a CR: an LF next ends no line
  bool have_odd_byte_ = false;  // UTF-16: the first byte of a code unit
  std::uint8_t odd_byte_ = 0;
  char32_t high_surrogate_ = 0;  // UTF-16: a high surrogate waiting for its low half
};

/// The lines of a text file's bytes, decoded as TextDecoder does.
std::vector<std::string> DecodeTextLines(std::string_view bytes);

/// The upper case in which lines and paths are compared: the user's locale's where the system
/// has one (Windows), else the simple Unicode mapping. Both map character by character.
std::string ExclusionUpperCase(std::string_view text);

class TExclusionList {
 public:
  /// A longer list is refused rather than read: a device that never ends must not take all
  /// memory.
  static constexpr std::int64_t kMaxFileSize = std::int64_t{256} << 20;

  /// Reads the file; false with a message when it cannot be read, is longer than kMaxFileSize
  /// or does not fit in memory. The list is unchanged then.
  bool Load(const std::string& fileName, std::string& error);
  /// Replaces the lines with those of a text file's bytes, handed over in pieces the way Load
  /// reads them.
  void AssignBytes(const std::vector<std::string_view>& pieces);
  /// Replaces the lines (for callers that already hold them, without line ends).
  void Assign(const std::vector<std::string>& lines);
  /// Whether a line occurs in the path (both upper-cased); empty lines never match.
  bool Excludes(const std::string& path) const;
  /// The upper-cased non-empty lines, each followed by LF.
  const std::string& Patterns() const { return patterns_; }

 private:
  // One buffer instead of a string per line: a list of short lines costs little more than its
  // size.
  std::string patterns_;
};

}  // namespace tarvolin::app
