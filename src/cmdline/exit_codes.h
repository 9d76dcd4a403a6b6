// The program's exit codes, by name. The values are the documented ones the help screen lists;
// scripts rely on them, so they never change. The engine's version reading sets some of them,
// which is why they live here and not with the run control.
#pragma once

#include <cstdint>

namespace tarvolin::cmdline::exit_code {

inline constexpr std::int32_t kSuccess = 0;
inline constexpr std::int32_t kMissingParameters = 64;
inline constexpr std::int32_t kMismatchedParameters = 66;
/// 70 stands for two conditions: COMPARE mode was not given two file names, and the program file
/// whose version is read does not exist.
inline constexpr std::int32_t kCompareNamesMissing = 70;
inline constexpr std::int32_t kVersionFileMissing = 70;
inline constexpr std::int32_t kCompareFileUnopened = 71;
inline constexpr std::int32_t kOutputWriteFailed = 72;
inline constexpr std::int32_t kVersionInfoFailed = 73;
inline constexpr std::int32_t kNoVersionResource = 74;
inline constexpr std::int32_t kBadFolder = 100;
inline constexpr std::int32_t kBadExclusionFile = 101;
inline constexpr std::int32_t kBadOutputFile = 102;
inline constexpr std::int32_t kExclusionFileUnopened = 103;
inline constexpr std::int32_t kSummaryWriteFailed = 105;
/// CHECK mode: a file failed, is missing, unreadable, new or moved, or a listing line is
/// malformed.
inline constexpr std::int32_t kCheckFailed = 106;
/// CHECK mode: a listing cannot be opened or holds no checksum line (wins over 106).
inline constexpr std::int32_t kListingUnusable = 107;
inline constexpr std::int32_t kAborted = 252;
inline constexpr std::int32_t kHelpShown = 255;

}  // namespace tarvolin::cmdline::exit_code
