// UTF-8 decoding and encoding, and the simple Unicode case mappings from generated range tables.
#include "files/unicode.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace tarvolin::files {

namespace {

/// Code points First..Last (stepping by Step) map to themselves plus Delta.
struct TCaseRange {
  std::uint32_t First;
  std::uint32_t Last;
  std::int32_t Delta;
  std::uint32_t Step;
};

#include "files/case_tables.inc"

template <std::size_t N>
char32_t MapThrough(const TCaseRange (&table)[N], char32_t codePoint) noexcept {
  const auto cp = static_cast<std::uint32_t>(codePoint);
  // The ranges are sorted and never overlap: the candidate is the last one starting at or
  // before the code point.
  const auto* next =
      std::upper_bound(std::begin(table), std::end(table), cp,
                       [](std::uint32_t v, const TCaseRange& r) { return v < r.First; });
  if (next == std::begin(table)) return codePoint;
  const TCaseRange& range = *(next - 1);
  if (cp > range.Last || (cp - range.First) % range.Step != 0) return codePoint;
  return static_cast<char32_t>(static_cast<std::int64_t>(cp) + range.Delta);
}

inline bool IsContinuation(unsigned char byte) noexcept {
  return (byte & 0xC0) == 0x80;
}

enum class TCaseMap { Lower, Upper, Fold };

char32_t MapOne(TCaseMap map, char32_t codePoint) noexcept {
  switch (map) {
    case TCaseMap::Lower:
      return SimpleLowerCase(codePoint);
    case TCaseMap::Upper:
      return SimpleUpperCase(codePoint);
    case TCaseMap::Fold:
      break;
  }
  return SimpleCaseFold(codePoint);
}

template <TCaseMap kMap>
std::string MapCase(std::string_view text) {
  constexpr bool kUpper = kMap == TCaseMap::Upper;
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      // A run of ASCII is copied at once, then its letters are mapped in place.
      std::size_t end = i + 1;
      while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) ++end;
      const std::size_t from = out.size();
      out.append(text.substr(i, end - i));
      for (char* c = out.data() + from; c != out.data() + out.size(); ++c) {
        if (kUpper ? (*c >= 'a' && *c <= 'z') : (*c >= 'A' && *c <= 'Z')) {
          *c = static_cast<char>(kUpper ? *c - 32 : *c + 32);
        }
      }
      i = end;
      continue;
    }
    const TUtf8Char ch = DecodeUtf8(text, i);
    if (ch.Valid) {
      AppendUtf8(out, MapOne(kMap, ch.CodePoint));
    } else {
      out.append(text.substr(i, ch.Length));
    }
    i += ch.Length;
  }
  return out;
}

inline bool SameCharIgnoringCase(const TUtf8Char& a, const TUtf8Char& b) noexcept {
  if (a.Valid != b.Valid) return false;
  if (a.CodePoint == b.CodePoint) return true;
  if (!a.Valid) return false;
  return SimpleLowerCase(a.CodePoint) == SimpleLowerCase(b.CodePoint) ||
         SimpleUpperCase(a.CodePoint) == SimpleUpperCase(b.CodePoint);
}

/// Compares characters of both texts from the start; returns true when `b` runs out first or
/// together with `a` and every compared pair matched. `aEnded` tells whether `a` was consumed.
bool ComparePrefix(std::string_view a, std::string_view b, bool& aEnded) noexcept {
  std::size_t i = 0, j = 0;
  while (j < b.size()) {
    if (i >= a.size()) {
      aEnded = true;
      return false;
    }
    const TUtf8Char ca = DecodeUtf8(a, i);
    const TUtf8Char cb = DecodeUtf8(b, j);
    if (!SameCharIgnoringCase(ca, cb)) {
      aEnded = false;
      return false;
    }
    i += ca.Length;
    j += cb.Length;
  }
  aEnded = i >= a.size();
  return true;
}

}  // namespace

TUtf8Char DecodeUtf8(std::string_view text, std::size_t position) noexcept {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + position;
  const std::size_t available = text.size() - position;
  const unsigned char lead = p[0];
  if (lead < 0x80) return {lead, 1, true};

  const TUtf8Char invalid{lead, 1, false};
  std::size_t length;
  char32_t cp;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07;
    minimum = 0x10000;
  } else {
    return invalid;  // continuation byte, overlong two-byte lead, or beyond U+10FFFF
  }
  if (available < length) return invalid;
  for (std::size_t k = 1; k < length; ++k) {
    if (!IsContinuation(p[k])) return invalid;
    cp = (cp << 6) | (p[k] & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return invalid;
  return {cp, length, true};
}

void AppendUtf8(std::string& out, char32_t codePoint) {
  const auto cp = static_cast<std::uint32_t>(codePoint);
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      AppendUtf8(out, 0xFFFD);
      return;
    }
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp <= 0x10FFFF) {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    AppendUtf8(out, 0xFFFD);
  }
}

std::string EncodeUtf8(char32_t codePoint) {
  std::string out;
  AppendUtf8(out, codePoint);
  return out;
}

std::size_t CharacterCount(std::string_view text) noexcept {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); i += Utf8CharLength(text, i)) ++count;
  return count;
}

char32_t SimpleLowerCase(char32_t codePoint) noexcept {
  if (codePoint < 0x80) return codePoint >= 'A' && codePoint <= 'Z' ? codePoint + 32 : codePoint;
  return MapThrough(kLowerRanges, codePoint);
}

char32_t SimpleUpperCase(char32_t codePoint) noexcept {
  if (codePoint < 0x80) return codePoint >= 'a' && codePoint <= 'z' ? codePoint - 32 : codePoint;
  return MapThrough(kUpperRanges, codePoint);
}

char32_t SimpleCaseFold(char32_t codePoint) noexcept {
  return SimpleLowerCase(SimpleUpperCase(codePoint));
}

std::string LowerCaseUtf8(std::string_view text) {
  return MapCase<TCaseMap::Lower>(text);
}

std::string UpperCaseUtf8(std::string_view text) {
  return MapCase<TCaseMap::Upper>(text);
}

std::string CaseFoldUtf8(std::string_view text) {
  return MapCase<TCaseMap::Fold>(text);
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) noexcept {
  bool aEnded = false;
  return ComparePrefix(a, b, aEnded) && aEnded;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) noexcept {
  bool textEnded = false;
  return ComparePrefix(text, prefix, textEnded);
}

}  // namespace tarvolin::files
