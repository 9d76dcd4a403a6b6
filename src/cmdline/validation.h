// Command-line engine: syntax validation and the statistics of the arguments by status.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cmdline/params.h"

namespace tarvolin::cmdline {

/// Counters and lists of the arguments by status. Each list entry is followed by one blank.
struct TParamStatisticsRec {
  bool Valid = true;
  bool Done = false;
  bool EssentialMissing = false;
  std::uint16_t FirstIndex = 0;
  std::uint16_t LastIndex = 0;
  std::uint16_t InRangeCount = 0;
  std::uint16_t UniqueCount = 0;
  std::uint16_t NonEmptyCount = 0;
  std::uint16_t CheckedCount = 0;
  std::uint16_t OptionCount = 0;
  std::uint16_t ValueCount = 0;
  std::uint16_t OtherCount = 0;
  std::uint16_t AttachedCount = 0;
  std::uint16_t BadValueCount = 0;
  std::uint16_t UnknownCount = 0;
  std::uint16_t OutsideCount = 0;
  std::uint16_t IgnoredCount = 0;
  std::string InRangeList;
  std::string UniqueList;
  std::string NonEmptyList;
  std::string CheckedList;
  std::string OptionList;
  std::string ValueList;
  std::string OtherList;
  std::string AttachedList;
  std::string BadValueList;
  std::string UnknownList;
  std::string OutsideList;
  std::string IgnoredList;
  std::string RecognisedOptions;
  std::string ValidForms;
  std::string Name;
};

extern TParamStatisticsRec CustomValidation;
extern TParamStatisticsRec DefaultValidation;
/// The help and information switches the host defined, with their prefixes.
extern std::string HelpSwitchList;

void ValidateSyntax(TParamStatisticsRec& record, const TParamStatusArray& list,
                    const std::string& keywords, bool checkEssential, std::int32_t firstIndex,
                    std::int32_t lastIndex);
void ValidateParams(TParamStatisticsRec& record, const TParamStatusArray& list,
                    const std::string& keywords, bool checkEssential, std::int32_t firstIndex,
                    std::int32_t lastIndex);
void InitValidation(TParamStatisticsRec& record, const std::optional<std::string>& name = {});
std::string BuildValidForms(const std::string& keywords, std::int32_t mode);
void AddPresentSwitches(std::string& target, const std::string& source,
                        const std::string& candidates);
void AddToStat(std::uint16_t& counter, std::string& list, const std::string& text);

}  // namespace tarvolin::cmdline
