// Fuzz target of the wildcard masks: any mask text compiled and matched against any name.
//
// Input: one settings byte (bit 0 case-sensitive), one separator byte for the list form, then
// the mask text and the name separated by the first NUL byte. Checks: only a malformed
// character set fails, with the documented message; matching never fails and agrees with an
// exhaustive match of the compiled elements; a case-insensitive mask treats a name and its
// upper-cased form alike; a list matches when one of its pieces does.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/masks.h"
#include "files/unicode.h"
#include "fuzz_support.h"

namespace {

using namespace tarvolin;
using files::TMaskChar;

/// The plain match by exhaustive search (with memory of the tried states) over the compiled
/// elements, as the pattern rules define it.
bool ReferenceMatch(const files::TMaskString& mask, const std::string& name) {
  std::vector<std::size_t> starts;  // byte offset of every character, and the end
  for (std::size_t p = 0; p < name.size(); p += files::Utf8CharLength(name, p)) starts.push_back(p);
  const std::size_t n = starts.size();
  starts.push_back(name.size());
  if (n == 0) return mask.MinLength == 0;
  if (n < static_cast<std::size_t>(mask.MinLength) ||
      n > static_cast<std::size_t>(mask.MaxLength)) {
    return false;
  }
  const std::size_t count = mask.Elements.size();
  // state (e, c): elements from e on must match the characters from c on.
  std::vector<signed char> memo((count + 1) * (n + 1), -1);
  auto match = [&](auto&& self, std::size_t e, std::size_t c) -> bool {
    signed char& slot = memo[e * (n + 1) + c];
    if (slot >= 0) return slot != 0;
    bool result = false;
    if (e == count) {
      result = c == n;
    } else {
      const TMaskChar& element = mask.Elements[e];
      if (element.Kind == TMaskChar::TKind::AnyText) {
        for (std::size_t k = c; k <= n && !result; ++k) result = self(self, e + 1, k);
      } else if (c < n) {
        const std::string_view ch(name.data() + starts[c], starts[c + 1] - starts[c]);
        bool accepts = false;
        switch (element.Kind) {
          case TMaskChar::TKind::Literal:
            accepts = ch == element.Literal;
            break;
          case TMaskChar::TKind::CharSet:
            accepts = ch.size() == 1 &&
                      element.Set.test(static_cast<unsigned char>(ch[0])) != element.Negated;
            break;
          case TMaskChar::TKind::AnyChar:
            accepts = true;
            break;
          case TMaskChar::TKind::AnyText:
            break;
        }
        result = accepts && self(self, e + 1, c + 1);
      }
    }
    slot = result ? 1 : 0;
    return result;
  };
  return match(match, 0, 0);
}

void CheckMask(const std::string& maskText, bool caseSensitive, const std::string& name) {
  std::optional<files::TMask> mask;
  try {
    mask.emplace(maskText, caseSensitive);
  } catch (const files::EConvertError& error) {
    FUZZ_CHECK(error.what() == "The char set in mask \"" + maskText + "\" is not valid!",
               error.what());
    FUZZ_CHECK(maskText.find('[') != std::string::npos, maskText);
    return;
  }
  const std::string folded = caseSensitive ? name : files::CaseFoldUtf8(name);
  const bool plain = mask->MatchText(name);
  FUZZ_CHECK(plain == ReferenceMatch(mask->Compiled(), folded), maskText + " | " + name);
  const bool fileName = mask->MatchFileName(name);
  if (!caseSensitive) {
    const std::string upper = files::UpperCaseUtf8(name);
    FUZZ_CHECK(mask->MatchText(upper) == plain, maskText + " | " + name + " | " + upper);
    FUZZ_CHECK(mask->MatchFileName(upper) == fileName, maskText + " | " + name + " | " + upper);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::TInput input(data, size);
  const bool caseSensitive = (input.Byte() & 1) != 0;
  const char separator = static_cast<char>(input.Byte());
  const std::string_view rest = input.Rest();
  const std::size_t nul = rest.find('\0');
  const std::string maskText(rest.substr(0, nul));
  const std::string name(nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1));

  CheckMask(maskText, caseSensitive, name);

  // The list form: split at the separator, empty pieces dropped, a match by any piece.
  std::optional<files::TMaskList> list;
  try {
    list.emplace(maskText, separator, caseSensitive);
  } catch (const files::EConvertError&) {
    return 0;  // a piece with a malformed set; CheckMask covers the message
  }
  const files::TParseStringList pieces(maskText, std::string_view(&separator, 1));
  FUZZ_CHECK(list->Count() == pieces.Count(), maskText);
  bool any = false;
  for (std::size_t k = 0; k < list->Count(); ++k) {
    FUZZ_CHECK(!pieces[k].empty() && (*list)[k].MaskText() == pieces[k], maskText);
    any = any || (*list)[k].MatchFileName(name);
  }
  FUZZ_CHECK(list->MatchFileName(name) == any, maskText + " | " + name);
  return 0;
}
