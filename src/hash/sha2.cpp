// SHA-2 engines, their portable compression (one template for both word sizes, eight steps per
// unrolled group with the state in locals) and the kernel tables.
#include "hash/sha2.h"

#include <algorithm>
#include <array>
#include <bit>
#include <iterator>

#include "hash/bits.h"

namespace tarvolin::hash {

namespace {

/// The functions and round constants of SHA-256 (32-bit words) and SHA-512 (64-bit words).
template <typename Word>
struct TSha2Functions {
  static constexpr bool kWide = sizeof(Word) == 8;
  static constexpr int kRounds = kWide ? 80 : 64;
  /// The rotation and shift counts of Sigma0, Sigma1, sigma0 and sigma1 (FIPS 180-4, 4.1.2 and
  /// 4.1.3), three each.
  static constexpr std::array<int, 12> kCounts =
      kWide ? std::array<int, 12>{28, 34, 39, 14, 18, 41, 1, 8, 7, 19, 61, 6}
            : std::array<int, 12>{2, 13, 22, 6, 11, 25, 7, 18, 3, 17, 19, 10};

  static Word K(int t) {
    if constexpr (kWide) {
      return kernels::kSha512K[t];
    } else {
      return kernels::kSha256K[t];
    }
  }
  static Word Sigma0(Word x) {
    return std::rotr(x, kCounts[0]) ^ std::rotr(x, kCounts[1]) ^ std::rotr(x, kCounts[2]);
  }
  static Word Sigma1(Word x) {
    return std::rotr(x, kCounts[3]) ^ std::rotr(x, kCounts[4]) ^ std::rotr(x, kCounts[5]);
  }
  static Word SmallSigma0(Word x) {
    return std::rotr(x, kCounts[6]) ^ std::rotr(x, kCounts[7]) ^ (x >> kCounts[8]);
  }
  static Word SmallSigma1(Word x) {
    return std::rotr(x, kCounts[9]) ^ std::rotr(x, kCounts[10]) ^ (x >> kCounts[11]);
  }
};

// The schedule lives in a ring of sixteen words and is expanded as the steps consume it. (An
// array of all words expanded first is what compilers turn into two-word vectors whose loads
// straddle the previous stores, and the stalls cost more than the vectors gain.)
#define SHA2_W(F, t)                                                                 \
  ((t) < 16 ? w[(t)&15]                                                              \
            : (w[(t)&15] += F::SmallSigma1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + \
                            F::SmallSigma0(w[((t) + 1) & 15])))

// One step; `d` and `h` are updated, the other six only rotate names.
#define SHA2_STEP(F, a, b, c, d, e, f, g, h, t)                                              \
  {                                                                                          \
    const auto t1 = h + F::Sigma1(e) + ((g) ^ ((e) & ((f) ^ (g)))) + F::K(t) + SHA2_W(F, t); \
    const auto t2 = F::Sigma0(a) + (((a) & (b)) | ((c) & ((a) | (b))));                      \
    d += t1;                                                                                 \
    h = t1 + t2;                                                                             \
  }
#define SHA2_EIGHT(F, t)                       \
  SHA2_STEP(F, a, b, c, d, e, f, g, h, t);     \
  SHA2_STEP(F, h, a, b, c, d, e, f, g, t + 1); \
  SHA2_STEP(F, g, h, a, b, c, d, e, f, t + 2); \
  SHA2_STEP(F, f, g, h, a, b, c, d, e, t + 3); \
  SHA2_STEP(F, e, f, g, h, a, b, c, d, t + 4); \
  SHA2_STEP(F, d, e, f, g, h, a, b, c, t + 5); \
  SHA2_STEP(F, c, d, e, f, g, h, a, b, t + 6); \
  SHA2_STEP(F, b, c, d, e, f, g, h, a, t + 7)

/// The portable compression of either family, eight steps per unrolled group with the state in
/// locals. Inlined into each kernel so that it is optimised as the kernel's own body.
template <typename Word>
[[gnu::always_inline]] inline void CompressBlocks(Word* state, const std::uint8_t* data,
                                                  std::size_t blocks) {
  using F = TSha2Functions<Word>;
  constexpr std::size_t kBlockBytes = 16 * sizeof(Word);
  Word w[16];
  for (; blocks > 0; --blocks, data += kBlockBytes) {
    kernels::PrefetchInput(data);
    if constexpr (kBlockBytes > 64) kernels::PrefetchInput(data + 64);
    for (int t = 0; t < 16; ++t) w[t] = bits::Load<Word, std::endian::big>(data + sizeof(Word) * t);
    Word a = state[0], b = state[1], c = state[2], d = state[3];
    Word e = state[4], f = state[5], g = state[6], h = state[7];
    SHA2_EIGHT(F, 0);
    SHA2_EIGHT(F, 8);
    SHA2_EIGHT(F, 16);
    SHA2_EIGHT(F, 24);
    SHA2_EIGHT(F, 32);
    SHA2_EIGHT(F, 40);
    SHA2_EIGHT(F, 48);
    SHA2_EIGHT(F, 56);
    if constexpr (F::kRounds == 80) {
      SHA2_EIGHT(F, 64);
      SHA2_EIGHT(F, 72);
    }
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

#undef SHA2_EIGHT
#undef SHA2_STEP
#undef SHA2_W

}  // namespace

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
  CompressBlocks(state, data, blocks);
}

void TSHA2_256::Initialize() {
  static constexpr std::uint32_t kIv[8] = {0x6a09e667u, 0xbb67ae85u, 0x3c6ef372u, 0xa54ff53au,
                                           0x510e527fu, 0x9b05688cu, 0x1f83d9abu, 0x5be0cd19u};
  std::copy(std::begin(kIv), std::end(kIv), state_);
  TBlockHash::Initialize();
}

Bytes TSHA2_256::ReadDigest() {
  Bytes digest(32);
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
  CompressBlocks(state, data, blocks);
}

Bytes TSHA2_512Base::ReadDigest() {
  Bytes digest(static_cast<std::size_t>(HashSize()));
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
