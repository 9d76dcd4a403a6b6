// The option table, the run settings it fills and the run counters.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cmdline/params.h"
#include "platform/text_stream.h"

namespace tarvolin::app {

/// The algorithms, in output order. None stands for NOHASH (dates instead of digests).
enum class THashChoices : std::int32_t {
  None,
  MD5,
  SHA1,
  SHA2_256,
  SHA2_384,
  SHA2_512,
  SHA3_256,
  SHA3_384,
  SHA3_512,
  Blake2S,
  Blake2B,
  Blake3,
  XXHash64,
  MurmurHash3_x86,
  MurmurHash3_x64,
};
inline constexpr std::size_t kChoiceCount = 15;

inline constexpr THashChoices DefaultChoice = THashChoices::SHA2_256;
inline constexpr THashChoices CompareDefaultChoice = THashChoices::Blake3;

/// One value per choice.
template <typename T>
using TChoiceArray = std::array<T, kChoiceCount>;

/// The options, one per table row, in lookup order.
enum class TOption : std::int32_t {
  DebugMode,
  ErrorDelay,
  AudibleError,
  Help,
  Verbose,
  VersionOnly,
  Info,
  Banner,
  Count,
  Prefix,
  List,
  Dir,
  RDir,
  Exc,
  Out,
  Append,
  Tee,
  Fsum,
  Simple,
  ShowZero,
  HidePath,
  Size,
  MaxSize,
  Summary,
  Compare,
  All,
  NoHash,
  MD5,
  SHA1,
  SHA2_256,
  SHA2_384,
  SHA2_512,
  SHA3_256,
  SHA3_384,
  SHA3_512,
  Blake2S,
  Blake2B,
  Blake3,
  XXHash64,
  MurmurHash3_x86,
  MurmurHash3_x64,
};
inline constexpr std::size_t kOptionCount = 41;

/// How a row is looked up.
enum class TOptionKind { Switch, Flag, Value, TwoValues, Number };

struct TOptionRow {
  TOption Option;
  const char* Keywords;
  TOptionKind Kind;
};

// clang-format off
inline constexpr std::array<TOptionRow, kOptionCount> kOptionTable = {{
    {TOption::DebugMode, "DEBUG DEBUG-MODE", TOptionKind::Switch},
    {TOption::ErrorDelay, "ERROR-DELAY", TOptionKind::Flag},
    {TOption::AudibleError, "AUDIBLE-ERROR", TOptionKind::Flag},
    {TOption::Help, "H HELP ? HELP2 H2 ??", TOptionKind::Switch},
    {TOption::Verbose, "V VERBOSE BUILD HELP2 H2 ??", TOptionKind::Switch},
    {TOption::VersionOnly, "VERSION-ONLY BUILD-ONLY", TOptionKind::Switch},
    {TOption::Info, "INFO", TOptionKind::Switch},
    {TOption::Banner, "B BANNER", TOptionKind::Switch},
    {TOption::Count, "C COUNT", TOptionKind::Switch},
    {TOption::Prefix, "P PREFIX", TOptionKind::Switch},
    {TOption::List, "L LIST", TOptionKind::Switch},
    {TOption::Dir, "D DIR", TOptionKind::Value},
    {TOption::RDir, "R RDIR", TOptionKind::Switch},
    {TOption::Exc, "E EXC", TOptionKind::Value},
    {TOption::Out, "O OUT", TOptionKind::Value},
    {TOption::Append, "A APPEND", TOptionKind::Switch},
    {TOption::Tee, "T TEE", TOptionKind::Switch},
    {TOption::Fsum, "F FSUM", TOptionKind::Switch},
    {TOption::Simple, "S SIMPLE", TOptionKind::Switch},
    {TOption::ShowZero, "W SHOWZERO", TOptionKind::Switch},
    {TOption::HidePath, "I HIDEPATH", TOptionKind::Switch},
    {TOption::Size, "Z SIZE", TOptionKind::Switch},
    {TOption::MaxSize, "M MAX MAXSIZE", TOptionKind::Number},
    {TOption::Summary, "U SUMMARY", TOptionKind::Value},
    {TOption::Compare, "K COMPARE", TOptionKind::TwoValues},
    {TOption::All, "@ ALL", TOptionKind::Switch},
    {TOption::NoHash, "N NONE NOHASH", TOptionKind::Switch},
    {TOption::MD5, "5 MD5", TOptionKind::Switch},
    {TOption::SHA1, "1 SHA1", TOptionKind::Switch},
    {TOption::SHA2_256, "2 SHA2 SHA256 SHA2_256", TOptionKind::Switch},
    {TOption::SHA2_384, "384 SHA384 SHA2_384", TOptionKind::Switch},
    {TOption::SHA2_512, "512 SHA512 SHA2_512", TOptionKind::Switch},
    {TOption::SHA3_256, "3 SHA3 SHA3_256", TOptionKind::Switch},
    {TOption::SHA3_384, "SHA3_384", TOptionKind::Switch},
    {TOption::SHA3_512, "SHA3_512", TOptionKind::Switch},
    {TOption::Blake2S, "BLAKE2S", TOptionKind::Switch},
    {TOption::Blake2B, "BLK2 BLAKE2B BLAKE2", TOptionKind::Switch},
    {TOption::Blake3, "BLK3 BLAKE3", TOptionKind::Switch},
    {TOption::XXHash64, "XX64 XXHASH64", TOptionKind::Switch},
    {TOption::MurmurHash3_x86, "MURMURHASH3_x86 MURMURHASH3_x86_128", TOptionKind::Switch},
    {TOption::MurmurHash3_x64, "MH3 MURMURHASH3_x64 MURMURHASH3_x64_128 MURMURHASH3 MURMURHASH3_128",
     TOptionKind::Switch},
}};
// clang-format on

inline constexpr std::int64_t kDefaultMaxSize = 9223372036854775807LL;

/// Everything the options and the derived settings decide, process-wide.
struct TRunSettings {
  /// The lookup records of the rows that are not the engine's standard switches or algorithms.
  std::array<cmdline::TFindParamRec, kOptionCount> Lookups{};
  /// The algorithm rows, by choice.
  TChoiceArray<cmdline::TFindParamRec> THashSelections{};

  bool ListMode = true;
  bool DirMode = false;
  bool ExclusionOn = false;
  std::string Folder;
  std::string ExclusionFile;
  std::string OutputFile;
  std::string SummaryFile;
  std::string DefaultSummaryFile;
  /// No summary file name was given: the default one is used.
  bool SummaryFileIsDefault = false;
  std::uint64_t MaxSize = static_cast<std::uint64_t>(kDefaultMaxSize);
  std::string CompareFile1;
  std::string CompareFile2;
  bool TeeMode = false;

  TChoiceArray<bool> SelectedChoices{};
  std::int32_t SelectedCount = 0;
  std::int32_t MaxHashLength = 0;
  std::int32_t PrefixWidth = 0;
  std::int32_t SavedPrefixWidth = 0;
  bool SeparatorLines = true;

  /// Where result lines go: standard output, or the -o file once opened.
  platform::TTextStream* CurrentOutput = nullptr;
};

/// Success, error and file counters.
struct TRunCounters {
  std::int32_t SuccessCount = 0;
  std::int32_t ErrorCount = 0;
  std::int32_t TotalFiles = 0;
};

extern TRunSettings RunSettings;
extern TRunCounters RunCounters;

/// The lookup record of a row: the engine's own records for rows 1 to 8, `THashSelections` for
/// the algorithm rows, `Lookups` for the others.
cmdline::TFindParamRec& Lookup(TOption option);
/// Whether the option was found.
bool Given(TOption option);

/// Runs the 41 lookups in table order and applies the derived settings.
void ReadOptions();

/// Last index of the validated range: the largest of the -L index, the -d index plus one and the
/// -k index (-1 when absent). Arguments after it are DIR mode's wildcard specifications.
std::int32_t ValidationLast();

/// The choice an algorithm row selects; None for every row that is not an algorithm.
THashChoices ChoiceOfOption(TOption option);

}  // namespace tarvolin::app
