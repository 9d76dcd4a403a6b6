// The key of the seeded engines (XXH64, MurmurHash3): the integer seed as its bytes, least
// significant first.
#pragma once

#include <bit>
#include <string>

#include "hash/bits.h"
#include "hash/hash.h"

namespace tarvolin::hash {

/// The key bytes of `seed`.
template <typename Seed>
Bytes SeedKey(Seed seed) {
  Bytes key(sizeof(Seed));
  bits::Store<Seed, std::endian::little>(key.data(), seed);
  return key;
}

/// The seed that `key` sets: 0 for an empty key, else its bytes read as a little-endian number.
/// A key of any other length than the seed's is refused.
template <typename Seed>
Seed SeedOfKey(ByteSpan key) {
  if (key.empty()) return 0;
  if (key.size() != sizeof(Seed)) {
    throw EArgumentError("KeyLength Must Be Equal to " + std::to_string(sizeof(Seed)));
  }
  return bits::Load<Seed, std::endian::little>(key.data());
}

}  // namespace tarvolin::hash
