// Checksum listing lines.
#include "app/listing.h"

namespace tarvolin::app {

TListingLine ParseListingLine(std::string_view /*line*/, bool /*firstLine*/) {
  return {};
}

std::optional<THashChoices> ChoiceOfAlgorithmName(std::string_view /*name*/) {
  return std::nullopt;
}

THashChoices ChoiceOfHexLength(std::size_t /*length*/) {
  return THashChoices::None;
}

std::string RenderListingLine(const TListingLine& /*line*/) {
  return {};
}

}  // namespace tarvolin::app
