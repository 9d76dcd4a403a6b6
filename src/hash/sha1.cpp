// SHA-0/SHA-1 engines, their portable compression (80 steps unrolled, the schedule expanded in
// a ring of sixteen words) and the SHA-1 kernel table.
#include "hash/sha1.h"

#include "hash/bits.h"

namespace tarvolin::hash {

using bits::Rotl32;

namespace {

// SHA-0 has no compiled variants: the SHA instructions implement SHA-1's expansion only.
constexpr kernels::TKernel32 kSha0Kernel = {"portable", 0, kernels::Sha0Portable};

}  // namespace

TSHA0::TSHA0() : TSHA0(kSha0Kernel) {}

TSHA0::TSHA0(const kernels::TKernel32& kernel)
    : TBlockHash(20, 64), compress_(kernel.Entry), kernel_name_(kernel.Name) {}

void TSHA0::Initialize() {
  state_[0] = 0x67452301;
  state_[1] = 0xefcdab89;
  state_[2] = 0x98badcfe;
  state_[3] = 0x10325476;
  state_[4] = 0xc3d2e1f0;
  TBlockHash::Initialize();
}

IHashPtr TSHA0::Clone() const {
  return std::make_shared<TSHA0>(*this);
}

void TSHA0::Pad() {
  std::uint8_t length[8];
  bits::StoreBE64(length, processed_bytes_ * 8);
  PadWithLength(length);
}

void TSHA0::ProcessBlocks(const std::uint8_t* data, std::size_t blocks) {
  compress_(state_, data, blocks);
}

Bytes TSHA0::ReadDigest() {
  Bytes digest(20);
  for (int i = 0; i < 5; ++i) bits::StoreBE32(&digest[4 * i], state_[i]);
  return digest;
}

TSHA1::TSHA1() : TSHA0(kernels::Sha1Kernel()) {}

IHashPtr TSHA1::Clone() const {
  return std::make_shared<TSHA1>(*this);
}

namespace kernels {

// Best first; the portable kernel ends the table and always qualifies.
const TKernel32& Sha1Kernel() {
  static constexpr TKernel32 kTable[] = {
#if defined(TARVOLIN_X86_KERNELS)
    {"shani", platform::kCpuSHA | platform::kCpuSSSE3 | platform::kCpuSSE41, Sha1ShaNi},
#endif
    {"portable", 0, Sha1Portable},
  };
  return platform::SelectKernel(kTable);
}

namespace {

// The schedule lives in a ring of sixteen words and is expanded as the steps consume it.
// (An array of all 80 words, expanded first, is what compilers turn into two-word vectors whose
// loads straddle the previous stores; the stalls made that three times slower.)
#define SHA1_W(t)                                                                                 \
  ((t) < 16 ? w[(t)&15]                                                                           \
            : (w[(t)&15] =                                                                        \
                   Rotl32(w[((t) + 13) & 15] ^ w[((t) + 8) & 15] ^ w[((t) + 2) & 15] ^ w[(t)&15], \
                          ExpansionRotation)))
#define SHA1_STEP(f, k, a, b, c, d, e, t)           \
  e += Rotl32(a, 5) + f(b, c, d) + (k) + SHA1_W(t); \
  b = Rotl32(b, 30)
#define SHA1_CH(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define SHA1_PARITY(b, c, d) ((b) ^ (c) ^ (d))
#define SHA1_MAJ(b, c, d) (((b) & (c)) | ((d) & ((b) | (c))))
#define SHA1_FIVE(f, k, t)               \
  SHA1_STEP(f, k, a, b, c, d, e, t);     \
  SHA1_STEP(f, k, e, a, b, c, d, t + 1); \
  SHA1_STEP(f, k, d, e, a, b, c, t + 2); \
  SHA1_STEP(f, k, c, d, e, a, b, t + 3); \
  SHA1_STEP(f, k, b, c, d, e, a, t + 4)

/// SHA-1 rotates each expanded word left by one; SHA-0 does not.
template <int ExpansionRotation>
void CompressSha(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
  std::uint32_t w[16];
  for (; blocks > 0; --blocks, data += 64) {
    PrefetchInput(data);
    for (int t = 0; t < 16; ++t) w[t] = bits::LoadBE32(data + 4 * t);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    constexpr std::uint32_t k1 = 0x5a827999u, k2 = 0x6ed9eba1u, k3 = 0x8f1bbcdcu, k4 = 0xca62c1d6u;
    // clang-format off
    SHA1_FIVE(SHA1_CH, k1, 0);      SHA1_FIVE(SHA1_CH, k1, 5);
    SHA1_FIVE(SHA1_CH, k1, 10);     SHA1_FIVE(SHA1_CH, k1, 15);
    SHA1_FIVE(SHA1_PARITY, k2, 20); SHA1_FIVE(SHA1_PARITY, k2, 25);
    SHA1_FIVE(SHA1_PARITY, k2, 30); SHA1_FIVE(SHA1_PARITY, k2, 35);
    SHA1_FIVE(SHA1_MAJ, k3, 40);    SHA1_FIVE(SHA1_MAJ, k3, 45);
    SHA1_FIVE(SHA1_MAJ, k3, 50);    SHA1_FIVE(SHA1_MAJ, k3, 55);
    SHA1_FIVE(SHA1_PARITY, k4, 60); SHA1_FIVE(SHA1_PARITY, k4, 65);
    SHA1_FIVE(SHA1_PARITY, k4, 70); SHA1_FIVE(SHA1_PARITY, k4, 75);
    // clang-format on
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
  }
  SecureZero(w, sizeof w);
}

#undef SHA1_W
#undef SHA1_STEP
#undef SHA1_CH
#undef SHA1_PARITY
#undef SHA1_MAJ
#undef SHA1_FIVE

}  // namespace

void Sha0Portable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
  CompressSha<0>(state, data, blocks);
}

void Sha1Portable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
  CompressSha<1>(state, data, blocks);
}

}  // namespace kernels
}  // namespace tarvolin::hash
