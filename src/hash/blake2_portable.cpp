// BLAKE2s and BLAKE2b compression (RFC 7693 F), portable: one template for both word sizes, the
// rounds fully unrolled with state and message in registers; and the two kernel tables.
#include "hash/bits.h"
#include "hash/blake2_kernels.h"
#include "hash/blake_mix.h"

namespace tarvolin::hash {

namespace {

/// How far ahead of the blocks the input is requested: the hardware prefetcher alone leaves the
/// loop waiting on a large buffer in memory.
constexpr std::uintptr_t kPrefetchAhead = 1024;

/// One block into `state`: ten rounds with the BLAKE2s rotations for 32-bit words, twelve with
/// the BLAKE2b ones for 64-bit words.
template <typename Word>
void CompressBlock(Word state[8], const std::uint8_t* block, Word t0, Word t1, Word f0, Word f1) {
  const auto m = [block](int i) {
    return bits::Load<Word, std::endian::little>(block + sizeof(Word) * i);
  };
  Word v[16];
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) {
    v[i] = state[i];
    v[i + 8] = blake2::kIv<Word>[i];
  }
  v[12] ^= t0;
  v[13] ^= t1;
  v[14] ^= f0;
  v[15] ^= f1;
  if constexpr (sizeof(Word) == 4) {
    blake::Rounds<16, 12, 8, 7, 10>(v, m, blake2::kSigma);
  } else {
    blake::Rounds<32, 24, 16, 63, 12>(v, m, blake2::kSigma);
  }
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) state[i] ^= v[i] ^ v[i + 8];
}

/// `blocks` blocks from `data`, the counter advanced by `increment` before each. Inlined into
/// each kernel so that it is optimised as the kernel's own body.
template <typename Word>
[[gnu::always_inline]] inline void CompressBlocks(Word* state, Word* counter,
                                                  const std::uint8_t* data, std::size_t blocks,
                                                  Word increment, Word f0, Word f1) {
  constexpr std::size_t kBlockBytes = 16 * sizeof(Word);
  for (; blocks > 0; --blocks, data += kBlockBytes) {
#pragma GCC unroll 2
    for (std::size_t line = 0; line < kBlockBytes; line += 64) {
      bits::PrefetchAhead(data + line, kPrefetchAhead);
    }
    counter[0] += increment;
    if (counter[0] < increment) ++counter[1];
    CompressBlock(state, data, counter[0], counter[1], f0, f1);
  }
}

}  // namespace

void blake2::Blake2sPortable(std::uint32_t* state, std::uint32_t* counter, const std::uint8_t* data,
                             std::size_t blocks, std::uint32_t increment, std::uint32_t f0,
                             std::uint32_t f1) {
  CompressBlocks(state, counter, data, blocks, increment, f0, f1);
}

void blake2::Blake2bPortable(std::uint64_t* state, std::uint64_t* counter, const std::uint8_t* data,
                             std::size_t blocks, std::uint64_t increment, std::uint64_t f0,
                             std::uint64_t f1) {
  CompressBlocks(state, counter, data, blocks, increment, f0, f1);
}

// Best first; the portable kernel ends each table and always qualifies.
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

const blake2::TKernelB& blake2::Blake2bKernel() {
  static constexpr TKernelB kTable[] = {
#if defined(TARVOLIN_X86_KERNELS)
    {"avx512", platform::kCpuAVX512F | platform::kCpuAVX512VL | platform::kCpuAVX2, Blake2bAvx512},
    {"avx2", platform::kCpuAVX2, Blake2bAvx2},
#endif
    {"portable", 0, Blake2bPortable},
  };
  return platform::SelectKernel(kTable);
}

}  // namespace tarvolin::hash
