// The exclusion list.
#include "app/exclusions.h"

#include <algorithm>
#include <new>

#include "files/unicode.h"
#include "platform/platform.h"

namespace tarvolin::app {

namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kReadSize = 65536;
/// The message for a list longer than TExclusionList::kMaxFileSize.
constexpr const char* kTooLarge = "Exclusion list larger than 256 MiB";

/// How many bytes at the end of the text may be the start of a character still incomplete.
/// A lead byte alone tells a character's length, so only the last three bytes can be one.
std::size_t IncompleteTail(std::string_view text) {
  for (std::size_t k = 1; k <= 3 && k <= text.size(); ++k) {
    const auto byte = static_cast<unsigned char>(text[text.size() - k]);
    if (byte < 0x80) return 0;
    if (byte < 0xC0) continue;  // a continuation byte
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    return length > k ? k : 0;
  }
  return 0;
}

/// Appends the lines of upper-cased text to the patterns, leaving out empty lines. The text may
/// begin inside the patterns' last line and end inside a line.
void AppendPatterns(std::string_view upper, std::string& patterns) {
  std::size_t at = 0;
  while (at < upper.size()) {
    if (upper[at] == '\n' && (patterns.empty() || patterns.back() == '\n')) {
      ++at;
      continue;
    }
    // Up to the next empty line, at once.
    const auto gap =
        std::adjacent_find(upper.begin() + static_cast<std::ptrdiff_t>(at), upper.end(),
                           [](char a, char b) { return a == '\n' && b == '\n'; });
    const auto end = static_cast<std::size_t>(gap - upper.begin()) + (gap == upper.end() ? 0 : 1);
    patterns.append(upper.substr(at, end - at));
    at = end;
  }
}

/// Builds the patterns from a file's bytes as they arrive. Decoded text is upper-cased as soon as
/// it holds whole characters (upper case maps character by character), so only a few bytes wait
/// between pieces, however long a line is.
class PatternBuilder {
 public:
  explicit PatternBuilder(std::string& patterns) : patterns_(patterns) {}

  void Add(std::string_view bytes) {
    decoder_.Feed(bytes, text_);
    Flush(text_.size() - IncompleteTail(text_));
  }

  void Finish() {
    decoder_.Finish(text_);
    Flush(text_.size());
    if (!patterns_.empty() && patterns_.back() != '\n') patterns_ += '\n';
  }

 private:
  void Flush(std::size_t length) {
    if (length == 0) return;
    AppendPatterns(ExclusionUpperCase(std::string_view(text_).substr(0, length)), patterns_);
    text_.erase(0, length);
  }

  std::string& patterns_;
  TextDecoder decoder_;
  std::string text_;
};

}  // namespace

void TextDecoder::Feed(std::string_view bytes, std::string& text) {
  if (encoding_ == Encoding::Undecided) {
    const std::size_t take = std::min(bytes.size(), kUtf8Mark.size() - head_.size());
    head_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    Decide(false, text);
  }
  if (bytes.empty()) return;
  if (encoding_ == Encoding::Utf8) {
    AppendLines(bytes, text);
  } else {
    DecodeUtf16(bytes, text);
  }
}

void TextDecoder::Finish(std::string& text) {
  if (encoding_ == Encoding::Undecided) Decide(true, text);
  if (high_surrogate_ != 0) {
    files::AppendUtf8(text, 0xFFFD);
    high_surrogate_ = 0;
  }
  have_odd_byte_ = false;
}

/// Picks the encoding once the first bytes show a mark or cannot begin one (or at the end), and
/// decodes what follows the mark.
void TextDecoder::Decide(bool final, std::string& text) {
  const std::string_view head = head_;
  std::size_t markSize = 0;
  if (head.starts_with(kUtf16LeMark)) {
    encoding_ = Encoding::Utf16Le;
    markSize = kUtf16LeMark.size();
  } else if (head.starts_with(kUtf16BeMark)) {
    encoding_ = Encoding::Utf16Be;
    markSize = kUtf16BeMark.size();
  } else if (head.starts_with(kUtf8Mark)) {
    encoding_ = Encoding::Utf8;
    markSize = kUtf8Mark.size();
  } else if (!final && (kUtf16LeMark.starts_with(head) || kUtf16BeMark.starts_with(head) ||
                        kUtf8Mark.starts_with(head))) {
    return;
  } else {
    encoding_ = Encoding::Utf8;
  }
  const std::string rest(head.substr(markSize));
  head_.clear();
  Feed(rest, text);
}

void TextDecoder::DecodeUtf16(std::string_view bytes, std::string& text) {
  const bool bigEndian = encoding_ == Encoding::Utf16Be;
  std::string utf8;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (!have_odd_byte_) {
      odd_byte_ = static_cast<std::uint8_t>(bytes[i++]);
      have_odd_byte_ = true;
      continue;
    }
    const auto second = static_cast<std::uint8_t>(bytes[i++]);
    have_odd_byte_ = false;
    const char32_t unit = bigEndian ? (odd_byte_ << 8 | second) : (second << 8 | odd_byte_);
    if (high_surrogate_ != 0) {
      if (unit >= 0xDC00 && unit < 0xE000) {
        files::AppendUtf8(utf8, 0x10000 + ((high_surrogate_ - 0xD800) << 10) + (unit - 0xDC00));
        high_surrogate_ = 0;
        continue;
      }
      files::AppendUtf8(utf8, 0xFFFD);
      high_surrogate_ = 0;
    }
    if (unit >= 0xD800 && unit < 0xDC00) {
      high_surrogate_ = unit;
    } else {
      files::AppendUtf8(utf8, unit >= 0xDC00 && unit < 0xE000 ? 0xFFFD : unit);
    }
  }
  AppendLines(utf8, text);
}

/// Appends UTF-8 text with its line ends made LF.
void TextDecoder::AppendLines(std::string_view utf8, std::string& text) {
  while (!utf8.empty()) {
    if (after_cr_ && utf8.front() == '\n') utf8.remove_prefix(1);
    after_cr_ = false;
    const std::size_t cr = utf8.find('\r');
    if (cr == std::string_view::npos) {
      text.append(utf8);
      return;
    }
    text.append(utf8.substr(0, cr));
    text += '\n';
    after_cr_ = true;
    utf8.remove_prefix(cr + 1);
  }
}

std::vector<std::string> DecodeTextLines(std::string_view bytes) {
  TextDecoder decoder;
  std::string text;
  decoder.Feed(bytes, text);
  decoder.Finish(text);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string ExclusionUpperCase(std::string_view text) {
  if (auto upper = platform::LocaleUpperCase(text)) return std::move(*upper);
  return files::UpperCaseUtf8(text);
}

bool TExclusionList::Load(const std::string& fileName, std::string& error) {
  try {
    platform::TInputFile file;
    if (!file.Open(fileName, error)) return false;
    if (file.Size() > kMaxFileSize) {
      error = kTooLarge;
      return false;
    }
    std::string patterns;
    // Most lists upper-case to about their own size (plus an LF after the last line); growing
    // past it is still correct.
    if (file.Size() > 0) patterns.reserve(static_cast<std::size_t>(file.Size()) + 1);
    PatternBuilder builder(patterns);
    std::string chunk(kReadSize, '\0');
    std::int64_t total = 0;
    for (;;) {
      // One byte past the limit tells a list that is too long from one that is just long enough.
      const std::int64_t wanted =
          std::min<std::int64_t>(static_cast<std::int64_t>(kReadSize), kMaxFileSize + 1 - total);
      const std::int64_t n =
          file.Read(reinterpret_cast<std::uint8_t*>(chunk.data()), wanted, error);
      if (n < 0) return false;
      total += n;
      if (total > kMaxFileSize) {
        error = kTooLarge;
        return false;
      }
      builder.Add(std::string_view(chunk.data(), static_cast<std::size_t>(n)));
      if (n < wanted) break;
    }
    builder.Finish();
    patterns_ = std::move(patterns);
    return true;
  } catch (const std::bad_alloc&) {
    error = "Not enough memory for the exclusion list";
    return false;
  }
}

void TExclusionList::AssignBytes(const std::vector<std::string_view>& pieces) {
  std::string patterns;
  PatternBuilder builder(patterns);
  for (const std::string_view piece : pieces) builder.Add(piece);
  builder.Finish();
  patterns_ = std::move(patterns);
}

void TExclusionList::Assign(const std::vector<std::string>& lines) {
  patterns_.clear();
  for (const std::string& line : lines) {
    const std::string upper = ExclusionUpperCase(line);
    if (upper.empty()) continue;
    patterns_ += upper;
    patterns_ += '\n';
  }
}

bool TExclusionList::Excludes(const std::string& path) const {
  if (patterns_.empty()) return false;
  const std::string upperPath = ExclusionUpperCase(path);
  const char* const last = patterns_.data() + patterns_.size();
  for (const char* line = patterns_.data(); line != last;) {
    const char* const end = std::find(line, last, '\n');
    if (upperPath.find(line, 0, static_cast<std::size_t>(end - line)) != std::string::npos) {
      return true;
    }
    line = end + 1;
  }
  return false;
}

}  // namespace tarvolin::app
