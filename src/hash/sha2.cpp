// SHA-2 engines, their portable compression functions (eight steps per unrolled group with the
// state in locals) and the kernel tables.
#include "hash/sha2.h"

#include <algorithm>
#include <iterator>

#include "hash/bits.h"

namespace tarvolin::hash {

using bits::Rotr32;
using bits::Rotr64;

// The schedule lives in a ring of sixteen words and is expanded as the steps consume it. (An
// array of all words expanded first is what compilers turn into two-word vectors whose loads
// straddle the previous stores, and the stalls cost more than the vectors gain.)
#define SHA2_W(SS0, SS1, t) \
  ((t) < 16 ? w[(t)&15]     \
            : (w[(t)&15] += SS1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + SS0(w[((t) + 1) & 15])))

// One step of either family; `d` and `h` are updated, the other six only rotate names.
#define SHA2_STEP(S0, S1, SS0, SS1, K, a, b, c, d, e, f, g, h, t)                         \
  {                                                                                       \
    const auto t1 = h + S1(e) + ((g) ^ ((e) & ((f) ^ (g)))) + K[t] + SHA2_W(SS0, SS1, t); \
    const auto t2 = S0(a) + (((a) & (b)) | ((c) & ((a) | (b))));                          \
    d += t1;                                                                              \
    h = t1 + t2;                                                                          \
  }
#define SHA2_EIGHT(S0, S1, SS0, SS1, K, t)                       \
  SHA2_STEP(S0, S1, SS0, SS1, K, a, b, c, d, e, f, g, h, t);     \
  SHA2_STEP(S0, S1, SS0, SS1, K, h, a, b, c, d, e, f, g, t + 1); \
  SHA2_STEP(S0, S1, SS0, SS1, K, g, h, a, b, c, d, e, f, t + 2); \
  SHA2_STEP(S0, S1, SS0, SS1, K, f, g, h, a, b, c, d, e, t + 3); \
  SHA2_STEP(S0, S1, SS0, SS1, K, e, f, g, h, a, b, c, d, t + 4); \
  SHA2_STEP(S0, S1, SS0, SS1, K, d, e, f, g, h, a, b, c, t + 5); \
  SHA2_STEP(S0, S1, SS0, SS1, K, c, d, e, f, g, h, a, b, t + 6); \
  SHA2_STEP(S0, S1, SS0, SS1, K, b, c, d, e, f, g, h, a, t + 7)

#define BS0_256(x) (Rotr32(x, 2) ^ Rotr32(x, 13) ^ Rotr32(x, 22))
#define BS1_256(x) (Rotr32(x, 6) ^ Rotr32(x, 11) ^ Rotr32(x, 25))
#define SS0_256(x) (Rotr32(x, 7) ^ Rotr32(x, 18) ^ ((x) >> 3))
#define SS1_256(x) (Rotr32(x, 17) ^ Rotr32(x, 19) ^ ((x) >> 10))
#define BS0_512(x) (Rotr64(x, 28) ^ Rotr64(x, 34) ^ Rotr64(x, 39))
#define BS1_512(x) (Rotr64(x, 14) ^ Rotr64(x, 18) ^ Rotr64(x, 41))
#define SS0_512(x) (Rotr64(x, 1) ^ Rotr64(x, 8) ^ ((x) >> 7))
#define SS1_512(x) (Rotr64(x, 19) ^ Rotr64(x, 61) ^ ((x) >> 6))

void TSHA2_256Base::Pad() {
  std::uint8_t length[8];
  bits::StoreBE64(length, processed_bytes_ * 8);
  PadWithLength(length);
}

TSHA2_256Base::TSHA2_256Base(std::int32_t hashSize) : TBlockHash(hashSize, 64) {
  const kernels::TKernel32& kernel = kernels::Sha256Kernel();
  compress_ = kernel.Entry;
  kernel_name_ = kernel.Name;
}

void TSHA2_256Base::ProcessBlocks(const std::uint8_t* data, std::size_t blocks) {
  compress_(state_, data, blocks);
}

void kernels::Sha256Portable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
  std::uint32_t w[16];
  for (; blocks > 0; --blocks, data += 64) {
    kernels::PrefetchInput(data);
    for (int t = 0; t < 16; ++t) w[t] = bits::LoadBE32(data + 4 * t);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    SHA2_EIGHT(BS0_256, BS1_256, SS0_256, SS1_256, kernels::kSha256K, 0);
    SHA2_EIGHT(BS0_256, BS1_256, SS0_256, SS1_256, kernels::kSha256K, 8);
    SHA2_EIGHT(BS0_256, BS1_256, SS0_256, SS1_256, kernels::kSha256K, 16);
    SHA2_EIGHT(BS0_256, BS1_256, SS0_256, SS1_256, kernels::kSha256K, 24);
    SHA2_EIGHT(BS0_256, BS1_256, SS0_256, SS1_256, kernels::kSha256K, 32);
    SHA2_EIGHT(BS0_256, BS1_256, SS0_256, SS1_256, kernels::kSha256K, 40);
    SHA2_EIGHT(BS0_256, BS1_256, SS0_256, SS1_256, kernels::kSha256K, 48);
    SHA2_EIGHT(BS0_256, BS1_256, SS0_256, SS1_256, kernels::kSha256K, 56);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
  }
  SecureZero(w, sizeof w);
}

void TSHA2_256::Initialize() {
  static constexpr std::uint32_t kIv[8] = {0x6a09e667u, 0xbb67ae85u, 0x3c6ef372u, 0xa54ff53au,
                                           0x510e527fu, 0x9b05688cu, 0x1f83d9abu, 0x5be0cd19u};
  std::copy(std::begin(kIv), std::end(kIv), state_);
  TBlockHash::Initialize();
}

TBytes TSHA2_256::ReadDigest() {
  TBytes digest(32);
  for (int i = 0; i < 8; ++i) bits::StoreBE32(&digest[4 * i], state_[i]);
  return digest;
}

IHashPtr TSHA2_256::Clone() const {
  return std::make_shared<TSHA2_256>(*this);
}

void TSHA2_512Base::Pad() {
  // 128-bit bit length: the high half holds the bits shifted out of the 64-bit product.
  std::uint8_t length[16];
  bits::StoreBE64(length, processed_bytes_ >> 61);
  bits::StoreBE64(length + 8, processed_bytes_ * 8);
  PadWithLength(length);
}

TSHA2_512Base::TSHA2_512Base(std::int32_t hashSize) : TBlockHash(hashSize, 128) {
  const kernels::TKernel64& kernel = kernels::Sha512Kernel();
  compress_ = kernel.Entry;
  kernel_name_ = kernel.Name;
}

void TSHA2_512Base::ProcessBlocks(const std::uint8_t* data, std::size_t blocks) {
  compress_(state_, data, blocks);
}

void kernels::Sha512Portable(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks) {
  std::uint64_t w[16];
  for (; blocks > 0; --blocks, data += 128) {
    kernels::PrefetchInput(data);
    kernels::PrefetchInput(data + 64);
    for (int t = 0; t < 16; ++t) w[t] = bits::LoadBE64(data + 8 * t);
    std::uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
    std::uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
    SHA2_EIGHT(BS0_512, BS1_512, SS0_512, SS1_512, kernels::kSha512K, 0);
    SHA2_EIGHT(BS0_512, BS1_512, SS0_512, SS1_512, kernels::kSha512K, 8);
    SHA2_EIGHT(BS0_512, BS1_512, SS0_512, SS1_512, kernels::kSha512K, 16);
    SHA2_EIGHT(BS0_512, BS1_512, SS0_512, SS1_512, kernels::kSha512K, 24);
    SHA2_EIGHT(BS0_512, BS1_512, SS0_512, SS1_512, kernels::kSha512K, 32);
    SHA2_EIGHT(BS0_512, BS1_512, SS0_512, SS1_512, kernels::kSha512K, 40);
    SHA2_EIGHT(BS0_512, BS1_512, SS0_512, SS1_512, kernels::kSha512K, 48);
    SHA2_EIGHT(BS0_512, BS1_512, SS0_512, SS1_512, kernels::kSha512K, 56);
    SHA2_EIGHT(BS0_512, BS1_512, SS0_512, SS1_512, kernels::kSha512K, 64);
    SHA2_EIGHT(BS0_512, BS1_512, SS0_512, SS1_512, kernels::kSha512K, 72);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
  }
  SecureZero(w, sizeof w);
}

TBytes TSHA2_512Base::ReadDigest() {
  TBytes digest(static_cast<std::size_t>(HashSize()));
  for (std::size_t i = 0; i < digest.size() / 8; ++i) bits::StoreBE64(&digest[8 * i], state_[i]);
  return digest;
}

void TSHA2_384::Initialize() {
  static constexpr std::uint64_t kIv[8] = {
      0xcbbb9d5dc1059ed8ULL, 0x629a292a367cd507ULL, 0x9159015a3070dd17ULL, 0x152fecd8f70e5939ULL,
      0x67332667ffc00b31ULL, 0x8eb44a8768581511ULL, 0xdb0c2e0d64f98fa7ULL, 0x47b5481dbefa4fa4ULL};
  std::copy(std::begin(kIv), std::end(kIv), state_);
  TBlockHash::Initialize();
}

IHashPtr TSHA2_384::Clone() const {
  return std::make_shared<TSHA2_384>(*this);
}

void TSHA2_512::Initialize() {
  static constexpr std::uint64_t kIv[8] = {
      0x6a09e667f3bcc908ULL, 0xbb67ae8584caa73bULL, 0x3c6ef372fe94f82bULL, 0xa54ff53a5f1d36f1ULL,
      0x510e527fade682d1ULL, 0x9b05688c2b3e6c1fULL, 0x1f83d9abfb41bd6bULL, 0x5be0cd19137e2179ULL};
  std::copy(std::begin(kIv), std::end(kIv), state_);
  TBlockHash::Initialize();
}

IHashPtr TSHA2_512::Clone() const {
  return std::make_shared<TSHA2_512>(*this);
}

// Best first; the portable kernel ends each table and always qualifies.
const kernels::TKernel32& kernels::Sha256Kernel() {
  static constexpr TKernel32 kTable[] = {
#if defined(TARVOLIN_X86_KERNELS)
    {"shani", platform::kCpuSHA | platform::kCpuSSSE3 | platform::kCpuSSE41, Sha256ShaNi},
#endif
    {"portable", 0, Sha256Portable},
  };
  return platform::SelectKernel(kTable);
}

const kernels::TKernel64& kernels::Sha512Kernel() {
  static constexpr TKernel64 kTable[] = {
#if defined(TARVOLIN_X86_KERNELS)
    {"avx512",
     platform::kCpuAVX512F | platform::kCpuAVX512VL | platform::kCpuAVX2 | platform::kCpuBMI1 |
         platform::kCpuBMI2,
     Sha512Avx512},
    {"avx2", platform::kCpuAVX2 | platform::kCpuBMI1 | platform::kCpuBMI2, Sha512Avx2},
#endif
    {"portable", 0, Sha512Portable},
  };
  return platform::SelectKernel(kTable);
}

}  // namespace tarvolin::hash
