// Fuzz target of the exclusion-list reader: any bytes, with and without byte-order marks,
// decoded into lines and matched against a path, in memory, in pieces and through a file.
//
// Input: one mark byte (0 none, 1 UTF-16 LE, 2 UTF-16 BE, 3 UTF-8, otherwise the bytes as
// given), one piece-size byte (the bytes are also handed over in pieces of that size plus one),
// one path-length byte and that many path bytes, then the file's body.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/exclusions.h"
#include "files/unicode.h"
#include "fuzz_support.h"

namespace {

using namespace tarvolin;

bool ValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const files::TUtf8Char ch = files::DecodeUtf8(text, i);
    if (!ch.Valid) return false;
    i += ch.Length;
  }
  return true;
}

/// Line ends made uniform: CR LF and CR become LF; one final LF is dropped.
std::string JoinedLines(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (k > 0) out += '\n';
    out += lines[k];
  }
  return out;
}

std::string ScratchName;

/// A scratch file of this process, rewritten for every input and removed at exit.
const std::string& ScratchFile() {
  if (ScratchName.empty()) {
    const char* folder = std::getenv("TMPDIR");
    ScratchName = (folder != nullptr && *folder != '\0') ? folder : "/tmp";
    ScratchName += "/tarvolin-exclusions-fuzz-" + std::to_string(::getpid()) + ".txt";
    std::atexit([] { std::remove(ScratchName.c_str()); });
  }
  return ScratchName;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::TInput input(data, size);
  const std::uint8_t mark = input.Byte();
  const std::size_t pieceSize = std::size_t{input.Byte()} + 1;
  const std::string path(input.Bytes(input.Byte()));
  const std::string_view body = input.Rest();

  static const char* const kMarks[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
  std::string bytes = mark < 4 ? kMarks[mark] : "";
  bytes.append(body);

  const std::vector<std::string> lines = app::DecodeTextLines(bytes);
  for (const std::string& line : lines) {
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos, line);
  }
  const bool utf16 = bytes.size() >= 2 &&
                     (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0);
  const bool utf8Mark = !utf16 && bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
  const std::string_view text = std::string_view(bytes).substr(utf8Mark ? 3 : 0);
  if (utf16) {
    // Decoded text is always valid UTF-8: unpaired surrogates become U+FFFD.
    for (const std::string& line : lines) FUZZ_CHECK(ValidUtf8(line), line);
  } else {
    // 8-bit text passes unchanged, whatever it holds; valid UTF-8 stays valid.
    FUZZ_CHECK(Join(lines) == JoinedLines(text), "lines differ from the text");
    if (ValidUtf8(text)) {
      for (const std::string& line : lines) FUZZ_CHECK(ValidUtf8(line), line);
    }
  }

  // Matching: a line (upper-cased) anywhere in the upper-cased path; empty lines never match;
  // the upper-cased path is excluded exactly when the path is.
  app::TExclusionList list;
  list.Assign(lines);
  const std::string upperPath = app::ExclusionUpperCase(path);
  bool expected = false;
  for (const std::string& line : lines) {
    if (!line.empty() && upperPath.find(app::ExclusionUpperCase(line)) != std::string::npos) {
      expected = true;
    }
  }
  FUZZ_CHECK(list.Excludes(path) == expected, path);
  FUZZ_CHECK(list.Excludes(upperPath) == expected, path);

  // The same bytes handed over in pieces, or read back from a file, give the same lines,
  // wherever a piece ends: inside a mark, a character, a code unit or between CR and LF.
  std::vector<std::string_view> pieces;
  for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
    pieces.push_back(std::string_view(bytes).substr(at, pieceSize));
  }
  app::TExclusionList pieced;
  pieced.AssignBytes(pieces);
  FUZZ_CHECK(pieced.Patterns() == list.Patterns(), "pieces and lines differ");
  if (std::FILE* file = std::fopen(ScratchFile().c_str(), "wb")) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) == 0 && written) {
      app::TExclusionList loaded;
      std::string error;
      FUZZ_CHECK(loaded.Load(ScratchFile(), error), error);
      FUZZ_CHECK(loaded.Patterns() == list.Patterns(), "file and memory differ");
    }
  }
  return 0;
}
