// BLAKE3 compression, all seven rounds unrolled with state and message words in locals, the
// portable bulk kernels built on it, and the table of kernel rows by CPU level.
#include <iterator>

#include "hash/bits.h"
#include "hash/blake3_kernels.h"

namespace tarvolin::hash::blake3 {

namespace {

// The mixing function G with the rotations 16, 12, 8, 7.
#define B3_G(a, b, c, d, x, y) \
  a += b + (x);                \
  d = bits::Rotr32(d ^ a, 16); \
  c += d;                      \
  b = bits::Rotr32(b ^ c, 12); \
  a += b + (y);                \
  d = bits::Rotr32(d ^ a, 8);  \
  c += d;                      \
  b = bits::Rotr32(b ^ c, 7)

// One round: columns, then diagonals. The arguments are the message word order of the round,
// the identity permuted once per earlier round.
#define B3_ROUND(s0, s1, s2, s3, s4, s5, s6, s7, s8, s9, s10, s11, s12, s13, s14, s15) \
  B3_G(v0, v4, v8, v12, m##s0, m##s1);                                                 \
  B3_G(v1, v5, v9, v13, m##s2, m##s3);                                                 \
  B3_G(v2, v6, v10, v14, m##s4, m##s5);                                                \
  B3_G(v3, v7, v11, v15, m##s6, m##s7);                                                \
  B3_G(v0, v5, v10, v15, m##s8, m##s9);                                                \
  B3_G(v1, v6, v11, v12, m##s10, m##s11);                                              \
  B3_G(v2, v7, v8, v13, m##s12, m##s13);                                               \
  B3_G(v3, v4, v9, v14, m##s14, m##s15)

/// The seven rounds; `kFull` also produces the second half of the output, which only the
/// extendable output of the root needs.
template <bool kFull>
inline __attribute__((always_inline)) void Compress(const std::uint32_t cv[8],
                                                    const std::uint32_t block[16],
                                                    std::uint64_t counter,
                                                    std::uint32_t blockLength, std::uint32_t flags,
                                                    std::uint32_t out[16]) {
  const std::uint32_t m0 = block[0], m1 = block[1], m2 = block[2], m3 = block[3];
  const std::uint32_t m4 = block[4], m5 = block[5], m6 = block[6], m7 = block[7];
  const std::uint32_t m8 = block[8], m9 = block[9], m10 = block[10], m11 = block[11];
  const std::uint32_t m12 = block[12], m13 = block[13], m14 = block[14], m15 = block[15];
  std::uint32_t v0 = cv[0], v1 = cv[1], v2 = cv[2], v3 = cv[3];
  std::uint32_t v4 = cv[4], v5 = cv[5], v6 = cv[6], v7 = cv[7];
  std::uint32_t v8 = kIv[0], v9 = kIv[1], v10 = kIv[2], v11 = kIv[3];
  std::uint32_t v12 = static_cast<std::uint32_t>(counter);
  std::uint32_t v13 = static_cast<std::uint32_t>(counter >> 32);
  std::uint32_t v14 = blockLength, v15 = flags;

  // clang-format off
  B3_ROUND( 0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15);
  B3_ROUND( 2,  6,  3, 10,  7,  0,  4, 13,  1, 11, 12,  5,  9, 14, 15,  8);
  B3_ROUND( 3,  4, 10, 12, 13,  2,  7, 14,  6,  5,  9,  0, 11, 15,  8,  1);
  B3_ROUND(10,  7, 12,  9, 14,  3, 13, 15,  4,  0, 11,  2,  5,  8,  1,  6);
  B3_ROUND(12, 13,  9, 11, 15, 10, 14,  8,  7,  2,  5,  3,  0,  1,  6,  4);
  B3_ROUND( 9, 14, 11,  5,  8, 12, 15,  1, 13,  3,  0, 10,  2,  6,  4,  7);
  B3_ROUND(11, 15,  5,  0,  1,  9,  8,  6, 14, 10,  2, 12,  3,  4,  7, 13);
  // clang-format on

  if constexpr (kFull) {
    out[8] = v8 ^ cv[0];
    out[9] = v9 ^ cv[1];
    out[10] = v10 ^ cv[2];
    out[11] = v11 ^ cv[3];
    out[12] = v12 ^ cv[4];
    out[13] = v13 ^ cv[5];
    out[14] = v14 ^ cv[6];
    out[15] = v15 ^ cv[7];
  }
  out[0] = v0 ^ v8;
  out[1] = v1 ^ v9;
  out[2] = v2 ^ v10;
  out[3] = v3 ^ v11;
  out[4] = v4 ^ v12;
  out[5] = v5 ^ v13;
  out[6] = v6 ^ v14;
  out[7] = v7 ^ v15;
}

#undef B3_ROUND
#undef B3_G

inline void LoadBlock(std::uint32_t words[16], const std::uint8_t* block) {
  for (std::size_t i = 0; i < 16; ++i) words[i] = bits::LoadLE32(block + 4 * i);
}

}  // namespace

void PortableHashChunks(const std::uint8_t* input, std::size_t chunks, const std::uint32_t key[8],
                        std::uint64_t counter, std::uint32_t flags, std::uint32_t* cvs) {
  for (std::size_t c = 0; c < chunks; ++c, input += kChunkLength, cvs += 8) {
    std::uint32_t cv[8] = {key[0], key[1], key[2], key[3], key[4], key[5], key[6], key[7]};
    for (std::size_t b = 0; b < kBlocksPerChunk; ++b) {
      std::uint32_t words[16];
      LoadBlock(words, input + b * kBlockLength);
      const std::uint32_t blockFlags =
          flags | (b == 0 ? kChunkStart : 0) | (b == kBlocksPerChunk - 1 ? kChunkEnd : 0);
      Compress<false>(cv, words, counter + c, kBlockLength, blockFlags, cv);
    }
    for (int i = 0; i < 8; ++i) cvs[i] = cv[i];
  }
}

void PortableHashParents(const std::uint32_t* children, std::size_t parents,
                         const std::uint32_t key[8], std::uint32_t flags, std::uint32_t* cvs) {
  for (std::size_t p = 0; p < parents; ++p, children += 16, cvs += 8) {
    std::uint32_t out[8];
    Compress<false>(key, children, 0, kBlockLength, flags | kParent, out);
    for (int i = 0; i < 8; ++i) cvs[i] = out[i];
  }
}

void CompressInPlace(std::uint32_t cv[8], const std::uint32_t block[16], std::uint64_t counter,
                     std::uint32_t blockLength, std::uint32_t flags) {
  Compress<false>(cv, block, counter, blockLength, flags, cv);
}

void CompressBytesInPlace(std::uint32_t cv[8], const std::uint8_t* block, std::uint64_t counter,
                          std::uint32_t blockLength, std::uint32_t flags) {
  std::uint32_t words[16];
  LoadBlock(words, block);
  Compress<false>(cv, words, counter, blockLength, flags, cv);
}

void CompressOutput(const std::uint32_t cv[8], const std::uint32_t block[16], std::uint64_t counter,
                    std::uint32_t blockLength, std::uint32_t flags, std::uint32_t out[16]) {
  Compress<true>(cv, block, counter, blockLength, flags, out);
}

namespace {

// Best first; the portable row ends the table and always qualifies. Each row names every
// feature its code uses (the target attributes of its file).
constexpr TKernelRow kKernelRows[] = {
#if defined(TARVOLIN_X86_KERNELS)
    {"avx512",
     platform::kCpuAVX512F | platform::kCpuAVX512VL | platform::kCpuAVX2 | platform::kCpuAVX |
         platform::kCpuSSE41 | platform::kCpuSSSE3,
     {Avx512HashChunks, Avx512HashParents}},
    {"avx2",
     platform::kCpuAVX2 | platform::kCpuAVX | platform::kCpuSSE41 | platform::kCpuSSSE3,
     {Avx2HashChunks, Avx2HashParents}},
    {"sse41", platform::kCpuSSE41 | platform::kCpuSSSE3, {Sse41HashChunks, Sse41HashParents}},
#endif
    {"portable", 0, {PortableHashChunks, PortableHashParents}},
};

}  // namespace

const TKernelRow& PortableKernels() {
  return kKernelRows[std::size(kKernelRows) - 1];
}

const TKernelRow& SelectKernels() {
  return platform::SelectKernel(kKernelRows);
}

}  // namespace tarvolin::hash::blake3
