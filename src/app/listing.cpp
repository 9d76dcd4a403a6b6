// Checksum listing lines.
//
// A line is read by plain scanning: our own line family (an optional "ALGO: " prefix and
// "{size} " field, then a digest, the denied marker or a quoted date, then a tag or the
// untagged separators) is tried first, as its digest comes first; a line that does not start
// that way is read as a tagged `ALGO (NAME) = HEX` / `ALGO(NAME)= HEX` line.
#include "app/listing.h"

#include <array>
#include <cstddef>
#include <utility>

#include "app/lines.h"
#include "cmdline/ascii_case.h"

namespace tarvolin::app {

namespace {

constexpr std::string_view kDeniedStart = ":::DENIED";
constexpr std::string_view kNoHashTag = "NOHASH";
// A NOHASH line written back carries no date of its own: the one written for an unknown date.
constexpr std::string_view kUnknownDate = "\"12/30/1899 00:00 AM\"";

const ChoiceInfo& InfoOf(THashChoices choice) {
  return kChoiceInfo[static_cast<std::size_t>(choice)];
}

std::size_t HashLengthOf(THashChoices choice) {
  return static_cast<std::size_t>(InfoOf(choice).HashLength);
}

/// A digest width of some algorithm: what our own lines pad digests to.
bool IsDigestWidth(std::size_t length) {
  for (const ChoiceInfo& info : kChoiceInfo) {
    if (info.Choice != THashChoices::None && HashLengthOf(info.Choice) == length) return true;
  }
  return false;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string_view SkipBlanks(std::string_view text) {
  std::size_t k = 0;
  while (k < text.size() && IsBlank(text[k])) ++k;
  return text.substr(k);
}

std::string_view TrimBlanks(std::string_view text) {
  text = SkipBlanks(text);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::size_t CountSpaces(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && text[n] == ' ') ++n;
  return n;
}

std::size_t HexRunLength(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && IsHexDigit(text[n])) ++n;
  return n;
}

/// The name of an escaped line decoded: "\\", "\n" and "\r"; nothing for any other escape.
std::optional<std::string> Unescape(std::string_view name) {
  std::string plain;
  plain.reserve(name.size());
  for (std::size_t k = 0; k < name.size(); ++k) {
    if (name[k] != '\\') {
      plain += name[k];
      continue;
    }
    if (++k == name.size()) return std::nullopt;
    switch (name[k]) {
      case '\\':
        plain += '\\';
        break;
      case 'n':
        plain += '\n';
        break;
      case 'r':
        plain += '\r';
        break;
      default:
        return std::nullopt;
    }
  }
  return plain;
}

/// The choice whose table name the text is, exactly (as the "ALGO: " prefix writes it).
std::optional<THashChoices> ChoiceOfTableName(std::string_view text) {
  for (const ChoiceInfo& info : kChoiceInfo) {
    if (text == info.Name) return info.Choice;
  }
  return std::nullopt;
}

/// The line completed with its name; Malformed when the name is empty or badly escaped.
TListingLine WithName(TListingLine line, std::string_view name) {
  if (name.empty()) return {};
  if (line.Escaped) {
    std::optional<std::string> plain = Unescape(name);
    if (!plain) return {};
    line.Name = std::move(*plain);
  } else {
    line.Name = name;
  }
  return line;
}

/// What stands in the digest's place of our own line family.
enum class TDigestField : std::uint8_t { Hex, Denied, Date };

/// Our own line family, and the untagged lines. Nothing when the line does not start like one
/// (then it may be a tagged `ALGO (NAME) = HEX` line).
std::optional<TListingLine> ParseDigestFirst(std::string_view text, bool escaped) {
  TListingLine line;
  line.Escaped = escaped;
  bool committed = false;  // a prefix or size field makes it one of our lines, or Malformed

  // "ALGO: " prefix, right-aligned by blanks already skipped.
  std::optional<THashChoices> prefixChoice;
  if (const std::size_t colon = text.find(": "); colon != std::string_view::npos) {
    prefixChoice = ChoiceOfTableName(text.substr(0, colon));
    if (prefixChoice) {
      text = SkipBlanks(text.substr(colon + 2));
      committed = true;
    }
  }
  // "{size} " field: right-aligned digits, possibly negative (a size that could not be read).
  if (!text.empty() && text.front() == '{') {
    const std::size_t close = text.find('}');
    if (close == std::string_view::npos) return TListingLine{};
    std::string_view digits = TrimBlanks(text.substr(1, close - 1));
    if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
    if (digits.empty()) return TListingLine{};
    for (const char c : digits) {
      if (c < '0' || c > '9') return TListingLine{};
    }
    text.remove_prefix(close + 1);
    if (CountSpaces(text) == 0) return TListingLine{};
    text = SkipBlanks(text);
    committed = true;
  }

  TDigestField field = TDigestField::Hex;
  std::size_t fieldLength = 0;
  if (text.starts_with(kDeniedStart)) {
    field = TDigestField::Denied;
    fieldLength = kDeniedStart.size();
    while (fieldLength < text.size() && text[fieldLength] == ':') ++fieldLength;
  } else if (!text.empty() && text.front() == '"') {
    field = TDigestField::Date;
    const std::size_t close = text.find('"', 1);
    if (close == std::string_view::npos) return TListingLine{};
    fieldLength = close + 1;
  } else {
    fieldLength = HexRunLength(text);
    if (fieldLength == 0) {
      if (committed) return TListingLine{};
      return std::nullopt;
    }
  }
  const std::string_view digest = text.substr(0, fieldLength);
  std::string_view rest = text.substr(fieldLength);
  if (!rest.empty() && rest.front() != ' ') {
    if (committed || field != TDigestField::Hex) return TListingLine{};
    return std::nullopt;  // "BLAKE2b (...": not a digest
  }
  const std::size_t n = CountSpaces(rest);
  if (n == 0) return TListingLine{};  // no name
  if (field == TDigestField::Hex && fieldLength % 2 != 0) return TListingLine{};

  // A `?TAG*` after the blanks. Two blanks are the text form of an untagged line, whose name
  // may start with anything: our own lines never put two blanks before a tag (every digest
  // width is even, so its padding and the blank before the tag are odd in number); a date's
  // width varies, so after a date any number is a tag's.
  std::optional<THashChoices> tagChoice;
  bool tagged = false;
  const std::string_view afterBlanks = rest.substr(n);
  if (!afterBlanks.empty() && afterBlanks.front() == '?' &&
      (n != 2 || field == TDigestField::Date)) {
    const std::size_t star = afterBlanks.find('*');
    if (star != std::string_view::npos) {
      const std::string_view tag = afterBlanks.substr(1, star - 1);
      tagChoice = tag == kNoHashTag ? THashChoices::None : ChoiceOfAlgorithmName(tag);
      tagged = tagChoice.has_value();
      if (tagged) rest = afterBlanks.substr(star + 1);
    }
  }

  if (field == TDigestField::Date) {
    // `"date" ?NOHASH*NAME`, or without the tag (-i), the name then after the padding.
    if (prefixChoice && *prefixChoice != THashChoices::None) return TListingLine{};
    if (tagged && *tagChoice != THashChoices::None) return TListingLine{};
    line.Kind = TListingLineKind::NoDigest;
    line.Layout = TListingLayout::Own;
    return WithName(std::move(line), tagged ? rest : afterBlanks);
  }

  // The choice: the tag's and the prefix's, which must agree.
  THashChoices choice = THashChoices::None;
  if (tagged) choice = *tagChoice;
  if (prefixChoice) {
    if (tagged && *prefixChoice != choice) return TListingLine{};
    choice = *prefixChoice;
  }
  if (field == TDigestField::Hex) {
    if ((tagged || prefixChoice) && choice == THashChoices::None) return TListingLine{};
    if (choice != THashChoices::None && fieldLength != HashLengthOf(choice)) {
      return TListingLine{};
    }
    line.Kind = TListingLineKind::Checksum;
    line.Hex = cmdline::AsciiLowerCase(std::string(digest));
  } else {
    line.Kind = TListingLineKind::NoDigest;
  }
  line.Choice = choice;
  line.Layout = tagged || prefixChoice ? TListingLayout::Own : TListingLayout::Untagged;
  if (tagged) return WithName(std::move(line), rest);

  // Untagged: decided by the number of blanks after the digest.
  if (n == 1) {
    const std::string_view name = rest.substr(1);
    return WithName(std::move(line), name.starts_with('*') ? name.substr(1) : name);
  }
  if (n >= 3 && afterBlanks.starts_with('*')) {
    return WithName(std::move(line), afterBlanks.substr(1));
  }
  // More blanks are the padding of our own --all -i line when the line is prefixed, or when
  // they pad a digest width to a wider one; else a text-form name starting with blanks.
  if (n >= 3 &&
      (prefixChoice || (IsDigestWidth(fieldLength) && IsDigestWidth(fieldLength + n - 1)))) {
    return WithName(std::move(line), afterBlanks);
  }
  return WithName(std::move(line), rest.substr(2));
}

/// `ALGO (NAME) = HEX` or `ALGO(NAME)= HEX`.
TListingLine ParseTagged(std::string_view text, bool escaped) {
  const std::string_view body = TrimBlanks(text);
  std::size_t hexStart = body.size();
  while (hexStart > 0 && IsHexDigit(body[hexStart - 1])) --hexStart;
  const std::string_view hex = body.substr(hexStart);
  std::string_view before = body.substr(0, hexStart);
  while (!before.empty() && IsBlank(before.back())) before.remove_suffix(1);
  if (before.empty() || before.back() != '=') return {};
  before.remove_suffix(1);
  while (!before.empty() && IsBlank(before.back())) before.remove_suffix(1);
  if (before.empty() || before.back() != ')') return {};
  before.remove_suffix(1);

  const std::size_t open = before.find('(');
  if (open == std::string_view::npos) return {};
  const std::optional<THashChoices> choice =
      ChoiceOfAlgorithmName(TrimBlanks(before.substr(0, open)));
  if (!choice || hex.empty() || hex.size() != HashLengthOf(*choice)) return {};

  TListingLine line;
  line.Kind = TListingLineKind::Checksum;
  line.Layout =
      open > 0 && IsBlank(before[open - 1]) ? TListingLayout::Bsd : TListingLayout::OpenSsl;
  line.Choice = *choice;
  line.Hex = cmdline::AsciiLowerCase(std::string(hex));
  line.Escaped = escaped;
  return WithName(std::move(line), before.substr(open + 1));
}

void AppendEscaped(std::string& out, std::string_view name, bool escape) {
  if (escape) {
    AppendEscapedName(out, name, true);
  } else {
    out += name;
  }
}

}  // namespace

TListingLine ParseListingLine(std::string_view line, bool firstLine) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (firstLine && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
  if (line.find('\0') != std::string_view::npos) return {};

  std::string_view text = SkipBlanks(line);
  if (text.empty() || text.front() == ';' || text.front() == '#') {
    TListingLine comment;
    comment.Kind = TListingLineKind::Comment;
    return comment;
  }
  const bool escaped = text.front() == '\\';
  if (escaped) text = SkipBlanks(text.substr(1));
  if (std::optional<TListingLine> own = ParseDigestFirst(text, escaped)) return std::move(*own);
  return ParseTagged(text, escaped);
}

std::optional<THashChoices> ChoiceOfAlgorithmName(std::string_view name) {
  // Upper-cased, separators dropped; longer than any known name is no name.
  std::array<char, 24> buffer{};
  std::size_t length = 0;
  for (const char c : name) {
    if (c == '-' || c == '_' || IsBlank(c)) continue;
    if (length == buffer.size()) return std::nullopt;
    buffer[length++] = cmdline::AsciiUpper(c);
  }
  const std::string_view key(buffer.data(), length);
  if (key.empty()) return std::nullopt;

  struct TAlias {
    std::string_view Name;
    THashChoices Choice;
  };
  static constexpr std::array<TAlias, 7> kAliases = {{
      {"SHA256", THashChoices::SHA2_256},
      {"SHA384", THashChoices::SHA2_384},
      {"SHA512", THashChoices::SHA2_512},
      {"BLAKE2S256", THashChoices::Blake2S},
      {"BLAKE2B512", THashChoices::Blake2B},
      {"BLAKE2", THashChoices::Blake2B},
      {"XXH64", THashChoices::XXHash64},
  }};
  for (const TAlias& alias : kAliases) {
    if (key == alias.Name) return alias.Choice;
  }
  for (const ChoiceInfo& info : kChoiceInfo) {
    if (info.Choice == THashChoices::None) continue;
    // The table name normalised the same way, compared in place.
    std::size_t k = 0;
    bool same = true;
    for (const char* p = info.Name; *p != '\0' && same; ++p) {
      if (*p == '-' || *p == '_' || *p == ' ') continue;
      same = k < key.size() && key[k++] == cmdline::AsciiUpper(*p);
    }
    if (same && k == key.size()) return info.Choice;
  }
  return std::nullopt;
}

THashChoices ChoiceOfHexLength(std::size_t length) {
  switch (length) {
    case 16:
      return THashChoices::XXHash64;
    case 32:
      return THashChoices::MD5;
    case 40:
      return THashChoices::SHA1;
    case 64:
      return THashChoices::SHA2_256;
    case 96:
      return THashChoices::SHA2_384;
    case 128:
      return THashChoices::SHA2_512;
    default:
      return THashChoices::None;
  }
}

std::string RenderListingLine(const TListingLine& line) {
  if (line.Kind != TListingLineKind::Checksum && line.Kind != TListingLineKind::NoDigest) return {};
  const bool escape = line.Name.find_first_of("\n\r\\") != std::string::npos;
  std::string out;
  out.reserve(line.Hex.size() + line.Name.size() + 32);
  if (escape) out += '\\';

  const THashChoices choice = line.Choice;
  // MD5's -f tag is the untagged binary separator: written alone it would read back without
  // its algorithm, so such a line carries the "MD5: " prefix that -p writes.
  const auto ownPart = [&](std::string_view digest) {
    std::string tag = FsumTagOf(choice);
    if (tag == " *") out += std::string(InfoOf(choice).Name) + ": ";
    out += digest;
    out += tag;
  };

  if (line.Kind == TListingLineKind::NoDigest) {
    if (choice == THashChoices::None) {
      out += kUnknownDate;
      out += " ?";
      out += kNoHashTag;
      out += '*';
    } else {
      std::string marker(kDeniedStart);
      marker.resize(HashLengthOf(choice), ':');
      ownPart(marker);
    }
  } else if (line.Layout == TListingLayout::Bsd || line.Layout == TListingLayout::OpenSsl) {
    out += InfoOf(choice).Name;
    out += line.Layout == TListingLayout::Bsd ? " (" : "(";
    AppendEscaped(out, line.Name, escape);
    out += line.Layout == TListingLayout::Bsd ? ") = " : ")= ";
    out += line.Hex;
    return out;
  } else if (line.Layout == TListingLayout::Own && choice != THashChoices::None) {
    ownPart(line.Hex);
  } else {
    // Two blanks, unless the name starts with one: the text form would then read more blanks;
    // the binary form takes any name as it is.
    out += line.Hex;
    out += !line.Name.empty() && line.Name.front() == ' ' ? " *" : "  ";
  }
  AppendEscaped(out, line.Name, escape);
  return out;
}

}  // namespace tarvolin::app
