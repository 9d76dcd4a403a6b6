// Helpers shared by the unit tests: scratch folders, deterministic data, hex, external oracles
// and the known-answer file reader.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvolin::test {

using Bytes = std::vector<std::uint8_t>;

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TScratchDir {
 public:
  TScratchDir();
  ~TScratchDir();
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  /// Writes `data` to `name` inside the folder and returns the full path.
  std::string WriteFile(const std::string& name, const Bytes& data) const;

 private:
  std::filesystem::path path_;
};

/// A path from UTF-8 text. (Constructing a path from a std::string takes the bytes in the
/// system's narrow code page, which on Windows is not UTF-8.)
std::filesystem::path Utf8Path(const std::string& text);

/// Reproducible pseudo-random bytes.
Bytes RandomBytes(std::size_t size, std::uint64_t seed);

std::string ToHex(const Bytes& bytes);
Bytes FromHex(const std::string& hex);
Bytes BytesOf(const std::string& text);

/// `prefix` followed by `number` in decimal ("f12"). Appending instead of writing
/// `"f" + std::to_string(n)` keeps GCC 12's -Wrestrict false positive at -O3 away.
std::string NumberedName(const std::string& prefix, std::size_t number);

/// Runs a shell command and returns its standard output, or nothing when it failed.
std::optional<std::string> RunCommand(const std::string& command);

/// Whether a program is on the PATH.
bool HaveProgram(const std::string& name);

/// Lower-case digests by python3's hashlib for each (file, algorithm) pair, in order; nothing
/// when python3 is not available. The algorithm names are hashlib's.
std::optional<std::vector<std::string>> PythonDigests(
    const std::vector<std::pair<std::string, std::string>>& fileAlgorithmPairs);

/// One record of a known-answer file: its section and its fields, ended by an `Out` line.
struct TVectorRecord {
  std::string Section;
  std::map<std::string, std::string> Fields;
  int Line = 0;
  std::string File;
  friend void PrintTo(const TVectorRecord& r, std::ostream* os) {
    *os << r.File << ":" << r.Line << " [" << r.Section << "]";
  }
};

/// Reads every `.vec` file of a folder. Lines: `[SECTION]`, `Key = value`, `#` comments.
std::vector<TVectorRecord> ReadVectorFolder(const std::filesystem::path& folder);

/// The input a record describes: `In` (hex) or `Text`, repeated `Repeat` times.
Bytes RecordInput(const TVectorRecord& record);

/// Folder of the test data files.
std::filesystem::path TestDataDir();

}  // namespace tarvolin::test
