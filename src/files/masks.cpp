// Wildcard mask compilation and matching.
#include "files/masks.h"

#include <cstring>

#include "files/unicode.h"

namespace tarvolin::files {

namespace {

[[noreturn]] void ThrowBadCharSet(const std::string& maskText) {
  throw EConvertError("The char set in mask \"" + maskText + "\" is not valid!");
}

inline unsigned char LowerAscii(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

/// A name has an extension when it holds a "." other than one at its very start.
bool HasExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string_view::npos && dot != 0;
}

/// Whether the element accepts the character of `length` bytes at `position` of the name.
inline bool ElementAccepts(const TMaskChar& element, std::string_view name, std::size_t position,
                           std::size_t length) {
  switch (element.Kind) {
    case TMaskChar::TKind::Literal:
      return length == element.Literal.size() &&
             std::memcmp(name.data() + position, element.Literal.data(), length) == 0;
    case TMaskChar::TKind::CharSet:
      return length == 1 &&
             element.Set.test(static_cast<unsigned char>(name[position])) != element.Negated;
    case TMaskChar::TKind::AnyChar:
      return true;
    case TMaskChar::TKind::AnyText:
      break;
  }
  return false;
}

}  // namespace

TMask::TMask(const std::string& maskText, bool caseSensitive)
    : mask_text_(maskText),
      case_sensitive_(caseSensitive),
      compiled_(Compile(maskText, caseSensitive)) {
  // The file-name rules match a shortened form of the mask; it is compiled once here. Removing
  // a trailing "." or ".*" cannot break a character set that compiled in the whole text.
  const std::size_t characters = CharacterCount(mask_text_);
  if (characters >= 3 && EndsWith(mask_text_, "*.*")) {
    file_rule_ = FileRule::DropDotStar;
    shortened_ = Compile(mask_text_.substr(0, mask_text_.size() - 2), case_sensitive_);
  } else if (characters >= 2 && EndsWith(mask_text_, ".")) {
    file_rule_ = FileRule::NoExtension;
    shortened_ = Compile(mask_text_.substr(0, mask_text_.size() - 1), case_sensitive_);
  } else if (characters >= 3 && EndsWith(mask_text_, ".*")) {
    file_rule_ = FileRule::BareNameToo;
    bare_name_ = mask_text_.substr(0, mask_text_.size() - 2);
    if (!case_sensitive_) bare_name_ = CaseFoldUtf8(bare_name_);
  }
}

TMaskString TMask::Compile(const std::string& text, bool caseSensitive) {
  TMaskString mask;
  bool lastWasAnyText = false;
  auto countOne = [&mask] {
    ++mask.MinLength;
    if (mask.MaxLength != kUnlimited) ++mask.MaxLength;
  };

  std::size_t i = 0;
  while (i < text.size()) {
    const TUtf8Char ch = DecodeUtf8(text, i);
    const char c = text[i];
    if (ch.Valid && c == '*') {
      i += 1;
      if (!lastWasAnyText) {
        mask.Elements.push_back({TMaskChar::TKind::AnyText, {}, {}, false});
        mask.MaxLength = kUnlimited;
        lastWasAnyText = true;
      }
      continue;
    }
    lastWasAnyText = false;
    countOne();
    if (ch.Valid && c == '?') {
      mask.Elements.push_back({TMaskChar::TKind::AnyChar, {}, {}, false});
      i += 1;
    } else if (ch.Valid && c == '[') {
      TMaskChar set{TMaskChar::TKind::CharSet, {}, {}, false};
      i += 1;
      if (i < text.size() && text[i] == '!') {
        set.Negated = true;
        i += 1;
      }
      unsigned char previous = '-';
      bool closed = false;
      // Every member must be a single byte; "-" after a member adds a range of byte values.
      auto nextByte = [&]() -> unsigned char {
        if (i >= text.size() || DecodeUtf8(text, i).Length > 1) ThrowBadCharSet(text);
        const auto b = static_cast<unsigned char>(text[i++]);
        return caseSensitive ? b : LowerAscii(b);
      };
      while (i < text.size()) {
        const unsigned char member = nextByte();
        if (member == ']') {
          closed = true;
          break;
        }
        if (member == '-') {
          if (previous == '-') ThrowBadCharSet(text);
          const unsigned char last = nextByte();
          for (unsigned v = previous; v <= last; ++v) set.Set.set(v);
        } else {
          set.Set.set(member);
          previous = member;
        }
      }
      if (!closed || set.Set.none()) ThrowBadCharSet(text);
      mask.Elements.push_back(std::move(set));
    } else {
      const std::string_view bytes = std::string_view(text).substr(i, ch.Length);
      std::string literal;
      if (caseSensitive || !ch.Valid) {
        literal.assign(bytes);
      } else {
        AppendUtf8(literal, SimpleCaseFold(ch.CodePoint));
      }
      mask.Elements.push_back({TMaskChar::TKind::Literal, std::move(literal), {}, false});
      i += ch.Length;
    }
  }
  return mask;
}

bool TMask::Match(const TMaskString& mask, std::string_view name, bool caseSensitive) {
  const std::size_t characters = CharacterCount(name);
  if (characters == 0) return mask.MinLength == 0;
  if (characters < static_cast<std::size_t>(mask.MinLength) ||
      characters > static_cast<std::size_t>(mask.MaxLength)) {
    return false;
  }
  // Names and literal elements are case-folded alike, so a name and its upper-cased form
  // always match the same masks.
  std::string folded;
  if (!caseSensitive) {
    folded = CaseFoldUtf8(name);
    name = folded;
  }

  // Greedy matching that remembers only the latest "*": when a later element fails, that star
  // takes one more character and matching resumes after it. Every other element consumes
  // exactly one character, so an earlier star never needs to be retried; this finds a match
  // exactly when the exhaustive search would, in time proportional to elements times name.
  const std::vector<TMaskChar>& elements = mask.Elements;
  const std::size_t count = elements.size();
  std::size_t e = 0, p = 0;
  std::size_t starElement = count, starPosition = 0;
  for (;;) {
    if (e < count && elements[e].Kind == TMaskChar::TKind::AnyText) {
      if (e + 1 == count) return true;
      starElement = e++;
      starPosition = p;
      continue;
    }
    if (e < count && p < name.size()) {
      const std::size_t length = Utf8CharLength(name, p);
      if (ElementAccepts(elements[e], name, p, length)) {
        ++e;
        p += length;
        continue;
      }
    } else if (e == count && p == name.size()) {
      return true;
    }
    if (starElement == count || starPosition >= name.size()) return false;
    starPosition += Utf8CharLength(name, starPosition);
    p = starPosition;
    e = starElement + 1;
  }
}

bool TMask::MatchText(std::string_view name) const {
  return Match(compiled_, name, case_sensitive_);
}

bool TMask::MatchFileName(std::string_view name) const {
  switch (file_rule_) {
    case FileRule::DropDotStar:
      return Match(shortened_, name, case_sensitive_);
    case FileRule::NoExtension:
      return !HasExtension(name) && Match(shortened_, name, case_sensitive_);
    case FileRule::BareNameToo:
      if (case_sensitive_ ? name == bare_name_ : CaseFoldUtf8(name) == bare_name_) return true;
      break;
    case FileRule::Plain:
      break;
  }
  return Match(compiled_, name, case_sensitive_);
}

TParseStringList::TParseStringList(std::string_view text, std::string_view separators) {
  // Separators are whole characters; a multi-byte separator never splits inside a character.
  auto isSeparator = [separators](std::string_view ch) {
    for (std::size_t k = 0; k < separators.size();) {
      const std::size_t length = Utf8CharLength(separators, k);
      if (separators.substr(k, length) == ch) return true;
      k += length;
    }
    return false;
  };
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = Utf8CharLength(text, i);
    if (isSeparator(text.substr(i, length))) {
      if (i > start) items_.emplace_back(text.substr(start, i - start));
      start = i + length;
    }
    i += length;
  }
  if (text.size() > start) items_.emplace_back(text.substr(start));
}

TMaskList::TMaskList(std::string_view listText, char separator, bool caseSensitive) {
  const TParseStringList pieces(listText, std::string_view(&separator, 1));
  masks_.reserve(pieces.Count());
  for (const std::string& piece : pieces) masks_.emplace_back(piece, caseSensitive);
}

bool TMaskList::MatchFileName(std::string_view name) const {
  for (const TMask& mask : masks_) {
    if (mask.MatchFileName(name)) return true;
  }
  return false;
}

}  // namespace tarvolin::files
