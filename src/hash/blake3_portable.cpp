// BLAKE3 compression, all seven rounds unrolled with state and message words in registers, the
// portable bulk kernels built on it, and the table of kernel rows by CPU level.
#include <iterator>

#include "hash/bits.h"
#include "hash/blake3_kernels.h"
#include "hash/blake_mix.h"

namespace tarvolin::hash::blake3 {

namespace {

// clang-format off
/// The message word order of each round: the identity, permuted once more for every round.
constexpr std::uint8_t kSchedule[7][16] = {
    { 0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15},
    { 2,  6,  3, 10,  7,  0,  4, 13,  1, 11, 12,  5,  9, 14, 15,  8},
    { 3,  4, 10, 12, 13,  2,  7, 14,  6,  5,  9,  0, 11, 15,  8,  1},
    {10,  7, 12,  9, 14,  3, 13, 15,  4,  0, 11,  2,  5,  8,  1,  6},
    {12, 13,  9, 11, 15, 10, 14,  8,  7,  2,  5,  3,  0,  1,  6,  4},
    { 9, 14, 11,  5,  8, 12, 15,  1, 13,  3,  0, 10,  2,  6,  4,  7},
    {11, 15,  5,  0,  1,  9,  8,  6, 14, 10,  2, 12,  3,  4,  7, 13},
};
// clang-format on

/// The seven rounds; `kFull` also produces the second half of the output, which only the
/// extendable output of the root needs.
template <bool kFull>
inline __attribute__((always_inline)) void Compress(const std::uint32_t cv[8],
                                                    const std::uint32_t block[16],
                                                    std::uint64_t counter,
                                                    std::uint32_t blockLength, std::uint32_t flags,
                                                    std::uint32_t out[16]) {
  const auto m = [block](int i) { return block[i]; };
  std::uint32_t v[16];
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) v[i] = cv[i];
#pragma GCC unroll 4
  for (int i = 0; i < 4; ++i) v[i + 8] = kIv[i];
  v[12] = static_cast<std::uint32_t>(counter);
  v[13] = static_cast<std::uint32_t>(counter >> 32);
  v[14] = blockLength;
  v[15] = flags;
  blake::Rounds<16, 12, 8, 7, 7>(v, m, kSchedule);
  if constexpr (kFull) {
#pragma GCC unroll 8
    for (int i = 0; i < 8; ++i) out[i + 8] = v[i + 8] ^ cv[i];
  }
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) out[i] = v[i] ^ v[i + 8];
}

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
