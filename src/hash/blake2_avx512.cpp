// BLAKE2s and BLAKE2b compression with AVX-512VL: the rows of the SSE4.1 and AVX2 kernels, with
// every rotation one VPRORD or VPRORQ.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define TARVOLIN_BLAKE2_TARGET __attribute__((target("avx512f,avx512vl,avx2")))
#define TARVOLIN_BLAKE2S_ROWS 1
#define TARVOLIN_BLAKE2B_ROWS 1

namespace tarvolin::hash::blake2 {
namespace {

template <int kBits>
TARVOLIN_BLAKE2_TARGET inline __m128i RotateRight(__m128i x) {
  return _mm_ror_epi32(x, kBits);
}

template <int kBits>
TARVOLIN_BLAKE2_TARGET inline __m256i RotateRight(__m256i x) {
  return _mm256_ror_epi64(x, kBits);
}

}  // namespace
}  // namespace tarvolin::hash::blake2

#include "hash/blake2_x86.h"

namespace tarvolin::hash::blake2 {

TARVOLIN_BLAKE2_TARGET void Blake2sAvx512(std::uint32_t* state, std::uint32_t* counter,
                                          const std::uint8_t* data, std::size_t blocks,
                                          std::uint32_t increment, std::uint32_t f0,
                                          std::uint32_t f1) {
  CompressBlocks(state, counter, data, blocks, increment, f0, f1);
}

TARVOLIN_BLAKE2_TARGET void Blake2bAvx512(std::uint64_t* state, std::uint64_t* counter,
                                          const std::uint8_t* data, std::size_t blocks,
                                          std::uint64_t increment, std::uint64_t f0,
                                          std::uint64_t f1) {
  CompressBlocks(state, counter, data, blocks, increment, f0, f1);
}

}  // namespace tarvolin::hash::blake2
