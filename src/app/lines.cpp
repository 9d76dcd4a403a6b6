// Result line layouts.
#include "app/lines.h"

#include <cinttypes>
#include <cstdio>

#include "app/algorithms.h"
#include "platform/platform.h"

namespace tarvolin::app {

namespace {

/// The prefix right-aligned in `PrefixWidth` (a longer one is written whole).
std::string PrefixText(THashChoices choice) {
  const std::string& prefix = Algorithm(choice).Prefix;
  const auto width = static_cast<std::size_t>(std::max(RunSettings.PrefixWidth, 0));
  if (prefix.size() >= width) return prefix;
  return std::string(width - prefix.size(), ' ') + prefix;
}

/// The digest left-aligned and padded to `MaxHashLength`, never cut.
std::string HashText(const std::string& digest) {
  const auto width = static_cast<std::size_t>(std::max(RunSettings.MaxHashLength, 0));
  if (digest.size() >= width) return digest;
  return digest + std::string(width - digest.size(), ' ');
}

}  // namespace

std::string FsumTagOf(THashChoices choice) {
  const ChoiceInfo& info = kChoiceInfo[static_cast<std::size_t>(choice)];
  if (info.FsumTagOverride != nullptr) return info.FsumTagOverride;
  return std::string(" ?") + info.Name + "*";
}

void ApplyLayoutOptions() {
  TRunSettings& s = RunSettings;
  const auto selected = SelectedList();
  if (Given(TOption::Fsum)) {
    s.PrefixWidth = 0;
    for (const THashChoices c : selected) {
      Algorithm(c).Prefix.clear();
      Algorithm(c).FileTag = FsumTagOf(c);
    }
  } else {
    for (const THashChoices c : selected) Algorithm(c).FileTag = kFileTag;
  }
  if (Given(TOption::Simple) || Given(TOption::HidePath)) {
    s.PrefixWidth = 0;
    s.SeparatorLines = false;
    Lookup(TOption::Banner).Found = false;  // the banner request is withdrawn
    for (const THashChoices c : selected) {
      Algorithm(c).Prefix.clear();
      Algorithm(c).FileTag.assign(1, ' ');  // (not = " ": GCC 12 -O3 warns falsely)
    }
  }
  if (Given(TOption::Prefix)) {
    s.PrefixWidth = s.SavedPrefixWidth;
    for (const THashChoices c : selected) Algorithm(c).Prefix = Algorithm(c).NameTag;
  }
}

std::string SizeText(std::int64_t size) {
  char text[40];
  std::snprintf(text, sizeof text, "{%12" PRId64 "} ", size);
  return text;
}

std::string SizeTextUnsigned(std::uint64_t size) {
  char text[40];
  std::snprintf(text, sizeof text, "{%12" PRIu64 "} ", size);
  return text;
}

std::string TextLine(THashChoices choice, const std::string& digest, const std::string& text) {
  return PrefixText(choice) + HashText(digest) + kTextTag + text;
}

std::string FileLine(THashChoices choice, const std::string& sizeText, const std::string& digest,
                     const std::string& tag, const std::string& displayName) {
  return PrefixText(choice) + sizeText + HashText(digest) + tag + displayName;
}

std::string CompareLine(THashChoices choice, const std::string& verdict, const std::string& first,
                        const std::string& second) {
  return PrefixText(choice) + verdict + first + " " + second;
}

bool EscapeListingName(std::string& name) {
  const bool escapeBackslash = !platform::IsPathSeparator('\\');
  const bool needed = name.find_first_of("\n\r") != std::string::npos ||
                      (escapeBackslash && name.find('\\') != std::string::npos);
  if (!needed) return false;
  std::string escaped;
  escaped.reserve(name.size() + 8);
  AppendEscapedName(escaped, name, escapeBackslash);
  name = std::move(escaped);
  return true;
}

void AppendEscapedName(std::string& out, std::string_view name, bool backslash) {
  for (const char c : name) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\\' && backslash) {
      out += "\\\\";
    } else {
      out += c;
    }
  }
}

}  // namespace tarvolin::app
