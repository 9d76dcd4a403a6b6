// XXH64: four accumulator lanes over 32-byte stripes (the portable stripe kernel and the kernel
// table), merge, tail steps and avalanche.
#include "hash/xxhash64.h"

#include <cstring>
#include <string>

#include "hash/bits.h"
#include "hash/seed.h"

namespace tarvolin::hash {

using bits::LoadLE32;
using bits::LoadLE64;
using bits::Rotl64;

using xxhash64::kPrime1;
using xxhash64::kPrime2;
using xxhash64::kPrime3;
using xxhash64::kPrime4;
using xxhash64::kPrime5;

namespace {

inline std::uint64_t Round(std::uint64_t accumulator, std::uint64_t input) {
  return Rotl64(accumulator + input * kPrime2, 31) * kPrime1;
}

inline std::uint64_t MergeRound(std::uint64_t hash, std::uint64_t lane) {
  return (hash ^ Round(0, lane)) * kPrime1 + kPrime4;
}

}  // namespace

void TXXHash64::Initialize() {
  const std::uint64_t seed = key_;
  state_.seed = seed;
  state_.v1 = seed + kPrime1 + kPrime2;
  state_.v2 = seed + kPrime2;
  state_.v3 = seed;
  state_.v4 = seed - kPrime1;
  state_.total_length = 0;
  state_.memory_size = 0;
}

void xxhash64::StripesPortable(std::uint64_t (&lanes)[4], const std::uint8_t* data,
                               std::size_t stripes) {
  std::uint64_t v1 = lanes[0], v2 = lanes[1], v3 = lanes[2], v4 = lanes[3];
  // The four lanes are independent, so the loop runs at the multiplier's rate (8 products per
  // stripe) while the input is in cache; two stripes per pass make one prefetch per cache line.
  for (; stripes >= 2; stripes -= 2, data += 64) {
    bits::PrefetchAhead(data, kPrefetchAhead);
    v1 = Round(v1, LoadLE64(data));
    v2 = Round(v2, LoadLE64(data + 8));
    v3 = Round(v3, LoadLE64(data + 16));
    v4 = Round(v4, LoadLE64(data + 24));
    v1 = Round(v1, LoadLE64(data + 32));
    v2 = Round(v2, LoadLE64(data + 40));
    v3 = Round(v3, LoadLE64(data + 48));
    v4 = Round(v4, LoadLE64(data + 56));
  }
  if (stripes > 0) {
    v1 = Round(v1, LoadLE64(data));
    v2 = Round(v2, LoadLE64(data + 8));
    v3 = Round(v3, LoadLE64(data + 16));
    v4 = Round(v4, LoadLE64(data + 24));
  }
  lanes[0] = v1;
  lanes[1] = v2;
  lanes[2] = v3;
  lanes[3] = v4;
}

// Best first; the portable kernel ends the table and always qualifies.
const xxhash64::TStripesKernel& xxhash64::StripesKernel() {
  static constexpr TStripesKernel kTable[] = {
#if defined(TARVOLIN_X86_KERNELS)
    {"avx2", platform::kCpuAVX2, StripesAvx2},
#endif
    {"portable", 0, StripesPortable},
  };
  return platform::SelectKernel(kTable);
}

TXXHash64::TXXHash64() : THash(8, 32) {
  const xxhash64::TStripesKernel& kernel = xxhash64::StripesKernel();
  stripes_ = kernel.Entry;
  kernel_name_ = kernel.Name;
}

void TXXHash64::ProcessStripes(const std::uint8_t* data, std::size_t stripes) {
  std::uint64_t lanes[4] = {state_.v1, state_.v2, state_.v3, state_.v4};
  stripes_(lanes, data, stripes);
  state_.v1 = lanes[0];
  state_.v2 = lanes[1];
  state_.v3 = lanes[2];
  state_.v4 = lanes[3];
}

void TXXHash64::TransformBytes(const std::uint8_t* data, std::size_t count) {
  state_.total_length += count;
  if (state_.memory_size + count < 32) {
    if (count > 0) std::memcpy(state_.memory + state_.memory_size, data, count);
    state_.memory_size += static_cast<std::uint32_t>(count);
    return;
  }
  if (state_.memory_size > 0) {
    const std::size_t fill = 32 - state_.memory_size;
    std::memcpy(state_.memory + state_.memory_size, data, fill);
    ProcessStripes(state_.memory, 1);
    data += fill;
    count -= fill;
    state_.memory_size = 0;
  }
  if (const std::size_t stripes = count / 32; stripes > 0) {
    ProcessStripes(data, stripes);
    data += stripes * 32;
    count -= stripes * 32;
  }
  if (count > 0) std::memcpy(state_.memory, data, count);
  state_.memory_size = static_cast<std::uint32_t>(count);
}

IHashResultPtr TXXHash64::Final() {
  std::uint64_t h;
  if (state_.total_length >= 32) {
    h = Rotl64(state_.v1, 1) + Rotl64(state_.v2, 7) + Rotl64(state_.v3, 12) + Rotl64(state_.v4, 18);
    h = MergeRound(h, state_.v1);
    h = MergeRound(h, state_.v2);
    h = MergeRound(h, state_.v3);
    h = MergeRound(h, state_.v4);
  } else {
    h = state_.seed + kPrime5;
  }
  h += state_.total_length;

  const std::uint8_t* p = state_.memory;
  std::uint32_t rest = state_.memory_size;
  for (; rest >= 8; rest -= 8, p += 8) {
    h = Rotl64(h ^ Round(0, LoadLE64(p)), 27) * kPrime1 + kPrime4;
  }
  if (rest >= 4) {
    h = Rotl64(h ^ (LoadLE32(p) * kPrime1), 23) * kPrime2 + kPrime3;
    rest -= 4;
    p += 4;
  }
  for (; rest > 0; --rest, ++p) h = Rotl64(h ^ (*p * kPrime5), 11) * kPrime1;

  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  h ^= h >> 32;

  auto result = std::make_shared<THashResult>(h);
  Initialize();
  return result;
}

IHashPtr TXXHash64::Clone() const {
  return std::make_shared<TXXHash64>(*this);
}

Bytes TXXHash64::Key() const {
  return SeedKey(key_);
}

void TXXHash64::SetKey(ByteSpan key) {
  key_ = SeedOfKey<std::uint64_t>(key);
}

}  // namespace tarvolin::hash
