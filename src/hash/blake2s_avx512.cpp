// BLAKE2s compression with AVX-512VL: the SSE4.1 kernel's rows, with every rotation one VPRORD.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define TARVOLIN_BLAKE2S_TARGET __attribute__((target("avx512f,avx512vl,avx2")))

namespace tarvolin::hash::blake2 {
namespace {

TARVOLIN_BLAKE2S_TARGET inline __m128i RotateRight16(__m128i x) {
  return _mm_ror_epi32(x, 16);
}

TARVOLIN_BLAKE2S_TARGET inline __m128i RotateRight12(__m128i x) {
  return _mm_ror_epi32(x, 12);
}

TARVOLIN_BLAKE2S_TARGET inline __m128i RotateRight8(__m128i x) {
  return _mm_ror_epi32(x, 8);
}

TARVOLIN_BLAKE2S_TARGET inline __m128i RotateRight7(__m128i x) {
  return _mm_ror_epi32(x, 7);
}

}  // namespace
}  // namespace tarvolin::hash::blake2

#include "hash/blake2s_x86.h"

namespace tarvolin::hash::blake2 {

TARVOLIN_BLAKE2S_TARGET void Blake2sAvx512(std::uint32_t* state, std::uint32_t* counter,
                                           const std::uint8_t* data, std::size_t blocks,
                                           std::uint32_t increment, std::uint32_t f0,
                                           std::uint32_t f1) {
  CompressBlocks(state, counter, data, blocks, increment, f0, f1);
}

}  // namespace tarvolin::hash::blake2
