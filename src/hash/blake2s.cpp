// BLAKE2s compression (RFC 7693 F), portable: ten rounds fully unrolled, state and message in
// locals; and the BLAKE2s kernel table.
#include "hash/bits.h"
#include "hash/blake2.h"
#include "hash/blake2_kernels.h"

namespace tarvolin::hash {

namespace {

/// How far ahead of the blocks the input is requested: the hardware prefetcher alone leaves the
/// loop waiting on a large buffer in memory.
constexpr std::uintptr_t kPrefetchAhead = 1024;

constexpr std::uint32_t kIv0 = 0x6A09E667u, kIv1 = 0xBB67AE85u, kIv2 = 0x3C6EF372u,
                        kIv3 = 0xA54FF53Au, kIv4 = 0x510E527Fu, kIv5 = 0x9B05688Cu,
                        kIv6 = 0x1F83D9ABu, kIv7 = 0x5BE0CD19u;

// The mixing function G with the BLAKE2s rotations 16, 12, 8, 7.
#define B2S_G(a, b, c, d, x, y) \
  a += b + (x);                 \
  d = bits::Rotr32(d ^ a, 16);  \
  c += d;                       \
  b = bits::Rotr32(b ^ c, 12);  \
  a += b + (y);                 \
  d = bits::Rotr32(d ^ a, 8);   \
  c += d;                       \
  b = bits::Rotr32(b ^ c, 7)

// One round: columns, then diagonals; the arguments are the round's SIGMA row.
#define B2S_ROUND(s0, s1, s2, s3, s4, s5, s6, s7, s8, s9, s10, s11, s12, s13, s14, s15) \
  B2S_G(v0, v4, v8, v12, m##s0, m##s1);                                                 \
  B2S_G(v1, v5, v9, v13, m##s2, m##s3);                                                 \
  B2S_G(v2, v6, v10, v14, m##s4, m##s5);                                                \
  B2S_G(v3, v7, v11, v15, m##s6, m##s7);                                                \
  B2S_G(v0, v5, v10, v15, m##s8, m##s9);                                                \
  B2S_G(v1, v6, v11, v12, m##s10, m##s11);                                              \
  B2S_G(v2, v7, v8, v13, m##s12, m##s13);                                               \
  B2S_G(v3, v4, v9, v14, m##s14, m##s15)

/// One block into `state`.
void CompressBlock(std::uint32_t state[8], const std::uint8_t* block, std::uint32_t t0,
                   std::uint32_t t1, std::uint32_t f0, std::uint32_t f1) {
  const std::uint32_t m0 = bits::LoadLE32(block + 0), m1 = bits::LoadLE32(block + 4),
                      m2 = bits::LoadLE32(block + 8), m3 = bits::LoadLE32(block + 12),
                      m4 = bits::LoadLE32(block + 16), m5 = bits::LoadLE32(block + 20),
                      m6 = bits::LoadLE32(block + 24), m7 = bits::LoadLE32(block + 28),
                      m8 = bits::LoadLE32(block + 32), m9 = bits::LoadLE32(block + 36),
                      m10 = bits::LoadLE32(block + 40), m11 = bits::LoadLE32(block + 44),
                      m12 = bits::LoadLE32(block + 48), m13 = bits::LoadLE32(block + 52),
                      m14 = bits::LoadLE32(block + 56), m15 = bits::LoadLE32(block + 60);
  std::uint32_t v0 = state[0], v1 = state[1], v2 = state[2], v3 = state[3];
  std::uint32_t v4 = state[4], v5 = state[5], v6 = state[6], v7 = state[7];
  std::uint32_t v8 = kIv0, v9 = kIv1, v10 = kIv2, v11 = kIv3;
  std::uint32_t v12 = kIv4 ^ t0, v13 = kIv5 ^ t1, v14 = kIv6 ^ f0, v15 = kIv7 ^ f1;

  // clang-format off
  B2S_ROUND( 0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15);
  B2S_ROUND(14, 10,  4,  8,  9, 15, 13,  6,  1, 12,  0,  2, 11,  7,  5,  3);
  B2S_ROUND(11,  8, 12,  0,  5,  2, 15, 13, 10, 14,  3,  6,  7,  1,  9,  4);
  B2S_ROUND( 7,  9,  3,  1, 13, 12, 11, 14,  2,  6,  5, 10,  4,  0, 15,  8);
  B2S_ROUND( 9,  0,  5,  7,  2,  4, 10, 15, 14,  1, 11, 12,  6,  8,  3, 13);
  B2S_ROUND( 2, 12,  6, 10,  0, 11,  8,  3,  4, 13,  7,  5, 15, 14,  1,  9);
  B2S_ROUND(12,  5,  1, 15, 14, 13,  4, 10,  0,  7,  6,  3,  9,  2,  8, 11);
  B2S_ROUND(13, 11,  7, 14, 12,  1,  3,  9,  5,  0, 15,  4,  8,  6,  2, 10);
  B2S_ROUND( 6, 15, 14,  9, 11,  3,  0,  8, 12,  2, 13,  7,  1,  4, 10,  5);
  B2S_ROUND(10,  2,  8,  4,  7,  6,  1,  5, 15, 11,  9, 14,  3, 12, 13,  0);
  // clang-format on

  state[0] ^= v0 ^ v8;
  state[1] ^= v1 ^ v9;
  state[2] ^= v2 ^ v10;
  state[3] ^= v3 ^ v11;
  state[4] ^= v4 ^ v12;
  state[5] ^= v5 ^ v13;
  state[6] ^= v6 ^ v14;
  state[7] ^= v7 ^ v15;
}

#undef B2S_ROUND
#undef B2S_G

}  // namespace

void blake2::Blake2sPortable(std::uint32_t* state, std::uint32_t* counter, const std::uint8_t* data,
                             std::size_t blocks, std::uint32_t increment, std::uint32_t f0,
                             std::uint32_t f1) {
  for (; blocks > 0; --blocks, data += 64) {
    bits::PrefetchAhead(data, kPrefetchAhead);
    counter[0] += increment;
    if (counter[0] < increment) ++counter[1];
    CompressBlock(state, data, counter[0], counter[1], f0, f1);
  }
}

const blake2::TKernelS& TBlake2SParams::Kernel() {
  return blake2::Blake2sKernel();
}

// Best first; the portable kernel ends the table and always qualifies.
const blake2::TKernelS& blake2::Blake2sKernel() {
  static constexpr TKernelS kTable[] = {
#if defined(TARVOLIN_X86_KERNELS)
    {"avx512", platform::kCpuAVX512F | platform::kCpuAVX512VL | platform::kCpuAVX2, Blake2sAvx512},
    {"sse41", platform::kCpuSSSE3 | platform::kCpuSSE41, Blake2sSse41},
#endif
    {"portable", 0, Blake2sPortable},
  };
  return platform::SelectKernel(kTable);
}

}  // namespace tarvolin::hash
