// The algorithms a run can choose: one row each, with everything fixed about it (its name and
// digest width, the keywords of its option row, its checksum-file tag, its engine). A new
// algorithm is a `THashChoices` value and its row here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "hash/blake2.h"
#include "hash/blake3.h"
#include "hash/hash.h"
#include "hash/md5.h"
#include "hash/murmurhash3.h"
#include "hash/sha1.h"
#include "hash/sha2.h"
#include "hash/sha3.h"
#include "hash/xxhash64.h"

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
/// The number of choices: one more than the last.
inline constexpr std::size_t kChoiceCount =
    static_cast<std::size_t>(THashChoices::MurmurHash3_x64) + 1;

inline constexpr THashChoices DefaultChoice = THashChoices::SHA2_256;
inline constexpr THashChoices CompareDefaultChoice = THashChoices::Blake3;

/// One value per choice.
template <typename T>
using ChoiceArray = std::array<T, kChoiceCount>;

/// What is fixed about one choice.
struct ChoiceInfo {
  THashChoices Choice;
  /// As prefixes and tags write it.
  const char* Name;
  /// Characters of the digest text (two per byte; 21 for the quoted NOHASH date).
  std::int32_t HashLength;
  /// The keywords of its option row.
  const char* Keywords;
  /// Its -f tag where checksum files know it by another one; null: its record's `FsumTag`.
  const char* FsumTagOverride;
  /// Makes its engine; null for None.
  hash::IHashPtr (*CreateEngine)();
};

template <typename Engine>
hash::IHashPtr MakeEngine() {
  return std::make_shared<Engine>();
}

// clang-format off
inline constexpr ChoiceArray<ChoiceInfo> kChoiceInfo = {{
    {THashChoices::None, "NOHASH", 21, "N NONE NOHASH", nullptr, nullptr},
    {THashChoices::MD5, "MD5", 32, "5 MD5", " *", &MakeEngine<hash::TMD5>},
    {THashChoices::SHA1, "SHA1", 40, "1 SHA1", nullptr, &MakeEngine<hash::TSHA1>},
    {THashChoices::SHA2_256, "SHA2_256", 64, "2 SHA2 SHA256 SHA2_256", " ?SHA256*",
     &MakeEngine<hash::TSHA2_256>},
    {THashChoices::SHA2_384, "SHA2_384", 96, "384 SHA384 SHA2_384", " ?SHA384*",
     &MakeEngine<hash::TSHA2_384>},
    {THashChoices::SHA2_512, "SHA2_512", 128, "512 SHA512 SHA2_512", " ?SHA512*",
     &MakeEngine<hash::TSHA2_512>},
    {THashChoices::SHA3_256, "SHA3_256", 64, "3 SHA3 SHA3_256", nullptr,
     &MakeEngine<hash::TSHA3_256>},
    {THashChoices::SHA3_384, "SHA3_384", 96, "SHA3_384", nullptr, &MakeEngine<hash::TSHA3_384>},
    {THashChoices::SHA3_512, "SHA3_512", 128, "SHA3_512", nullptr, &MakeEngine<hash::TSHA3_512>},
    {THashChoices::Blake2S, "Blake2S", 64, "BLAKE2S", nullptr, &MakeEngine<hash::TBlake2S>},
    {THashChoices::Blake2B, "Blake2B", 128, "BLK2 BLAKE2B BLAKE2", nullptr,
     &MakeEngine<hash::TBlake2B>},
    // 32-byte digest, no key.
    {THashChoices::Blake3, "Blake3", 64, "BLK3 BLAKE3", nullptr, &MakeEngine<hash::TBlake3>},
    {THashChoices::XXHash64, "XXHash64", 16, "XX64 XXHASH64", nullptr,
     &MakeEngine<hash::TXXHash64>},
    {THashChoices::MurmurHash3_x86, "MurmurHash3_x86_128", 32,
     "MURMURHASH3_x86 MURMURHASH3_x86_128", nullptr, &MakeEngine<hash::TMurmurHash3_x86_128>},
    {THashChoices::MurmurHash3_x64, "MurmurHash3_x64_128", 32,
     "MH3 MURMURHASH3_x64 MURMURHASH3_x64_128 MURMURHASH3 MURMURHASH3_128", nullptr,
     &MakeEngine<hash::TMurmurHash3_x64_128>},
}};
// clang-format on

// Choices index the table (and every `ChoiceArray`): a row left out or out of place fails here.
static_assert(
    [] {
      for (std::size_t i = 0; i < kChoiceCount; ++i) {
        const ChoiceInfo& row = kChoiceInfo[i];
        if (row.Choice != static_cast<THashChoices>(i)) return false;
        if (row.Name == nullptr || row.Keywords == nullptr || row.HashLength <= 0) return false;
      }
      return true;
    }(),
    "kChoiceInfo holds one complete row per choice, in THashChoices order");
// That every choice but None has an engine is checked by the tests: a sanitizer build does not
// let the compiler compare function addresses in a constant expression.

}  // namespace tarvolin::app
