// The exclusion list.
#include "app/exclusions.h"

#include "files/unicode.h"
#include "platform/platform.h"

namespace tarvolin::app {

namespace {

/// UTF-16 code units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::string& bytes, std::size_t start, bool bigEndian) {
  std::string out;
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
    files::AppendUtf8(out, c);
  }
  return out;
}

}  // namespace

std::string ExclusionUpperCase(const std::string& text) {
  if (auto upper = platform::LocaleUpperCase(text)) return std::move(*upper);
  return files::UpperCaseUtf8(text);
}

std::vector<std::string> DecodeTextLines(const std::string& bytes) {
  std::string text;
  if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
    text = Utf16ToUtf8(bytes, 2, false);
  } else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFE\xFF") == 0) {
    text = Utf16ToUtf8(bytes, 2, true);
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    text = bytes.substr(3);
  } else {
    text = bytes;
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool TExclusionList::Load(const std::string& fileName, std::string& error) {
  platform::TInputFile file;
  if (!file.Open(fileName, error)) return false;
  std::string bytes;
  std::string chunk(65536, '\0');
  for (;;) {
    const std::int64_t n = file.Read(reinterpret_cast<std::uint8_t*>(chunk.data()), 65536, error);
    if (n < 0) return false;
    bytes.append(chunk.data(), static_cast<std::size_t>(n));
    if (n < 65536) break;
  }
  Assign(DecodeTextLines(bytes));
  return true;
}

void TExclusionList::Assign(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  upper_.clear();
  for (const std::string& line : lines_) upper_.push_back(ExclusionUpperCase(line));
}

bool TExclusionList::Excludes(const std::string& path) const {
  if (upper_.empty()) return false;
  const std::string upperPath = ExclusionUpperCase(path);
  for (const std::string& line : upper_) {
    if (!line.empty() && upperPath.find(line) != std::string::npos) return true;
  }
  return false;
}

}  // namespace tarvolin::app
