// Fuzz target of the listing line reader: any bytes read as one line of a listing.
//
// Input: the line itself (CR, NUL and every other byte included). It is read both as a first
// line and as a later one. Checks: reading never fails; a Comment or Malformed line has no
// digest and no name; a Checksum line has an even run of lower-case hex digits of its
// algorithm's width (when it names one) and a name; written back, a Checksum or NoDigest line
// reads again as the same kind, algorithm, digest and name.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/listing.h"
#include "fuzz_support.h"

namespace {

using namespace tarvolin;
using app::TListingLine;
using app::TListingLineKind;

std::string Describe(std::string_view text, const TListingLine& line) {
  return "line: [" + std::string(text) + "] kind " + std::to_string(static_cast<int>(line.Kind)) +
         " choice " + std::to_string(static_cast<int>(line.Choice)) + " hex [" + line.Hex +
         "] name [" + line.Name + "]";
}

void CheckLine(std::string_view text, bool firstLine) {
  const TListingLine line = app::ParseListingLine(text, firstLine);
  if (line.Kind == TListingLineKind::Comment || line.Kind == TListingLineKind::Malformed) {
    FUZZ_CHECK(line.Hex.empty() && line.Name.empty(), Describe(text, line));
    return;
  }
  FUZZ_CHECK(!line.Name.empty(), Describe(text, line));
  if (line.Kind == TListingLineKind::Checksum) {
    FUZZ_CHECK(!line.Hex.empty() && line.Hex.size() % 2 == 0, Describe(text, line));
    FUZZ_CHECK(line.Hex.find_first_not_of("0123456789abcdef") == std::string::npos,
               Describe(text, line));
    if (line.Choice != app::THashChoices::None) {
      const auto width = app::kChoiceInfo[static_cast<std::size_t>(line.Choice)].HashLength;
      FUZZ_CHECK(line.Hex.size() == static_cast<std::size_t>(width), Describe(text, line));
    }
  } else {
    FUZZ_CHECK(line.Hex.empty(), Describe(text, line));
  }

  const std::string rendered = app::RenderListingLine(line);
  const TListingLine again = app::ParseListingLine(rendered);
  const std::string detail =
      Describe(text, line) + "\nrendered: [" + rendered + "]\nread as " + Describe(rendered, again);
  FUZZ_CHECK(again.Kind == line.Kind, detail);
  FUZZ_CHECK(again.Choice == line.Choice, detail);
  FUZZ_CHECK(again.Hex == line.Hex, detail);
  FUZZ_CHECK(again.Name == line.Name, detail);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::TInput input(data, size);
  const std::string_view text = input.Rest();
  CheckLine(text, false);
  CheckLine(text, true);
  return 0;
}
