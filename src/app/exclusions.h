// The exclusion list of DIR mode: one path fragment per line, matched anywhere in a file's full
// path without regard to letter case.
#pragma once

#include <string>
#include <vector>

namespace tarvolin::app {

/// The lines of a text file's bytes: a UTF-16 LE, UTF-16 BE or UTF-8 byte-order mark selects
/// the encoding (and is dropped); without one the bytes are UTF-8. Lines end with CR LF, LF or CR.
std::vector<std::string> DecodeTextLines(const std::string& bytes);

/// The upper case in which lines and paths are compared: the user's locale's where the system
/// has one (Windows), else the simple Unicode mapping.
std::string ExclusionUpperCase(const std::string& text);

class TExclusionList {
 public:
  /// Reads the file; false with the system's message when it cannot be read.
  bool Load(const std::string& fileName, std::string& error);
  /// Replaces the lines (for callers that already hold them).
  void Assign(std::vector<std::string> lines);
  /// Whether a line occurs in the path (both upper-cased); empty lines never match.
  bool Excludes(const std::string& path) const;
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  std::vector<std::string> upper_;
};

}  // namespace tarvolin::app
