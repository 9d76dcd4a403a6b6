// BLAKE2s compression with SSSE3 and SSE4.1: four G functions at once in 128-bit rows; the
// rotations by 16 and 8 are byte shuffles, those by 12 and 7 two shifts and an OR.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define TARVOLIN_BLAKE2_TARGET __attribute__((target("ssse3,sse4.1")))
#define TARVOLIN_BLAKE2S_ROWS 1

namespace tarvolin::hash::blake2 {
namespace {

template <int kBits>
TARVOLIN_BLAKE2_TARGET inline __m128i RotateRight(__m128i x) {
  if constexpr (kBits == 16) {
    return _mm_shuffle_epi8(x, _mm_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13));
  } else if constexpr (kBits == 8) {
    return _mm_shuffle_epi8(x, _mm_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12));
  } else {
    return _mm_or_si128(_mm_srli_epi32(x, kBits), _mm_slli_epi32(x, 32 - kBits));
  }
}

}  // namespace
}  // namespace tarvolin::hash::blake2

#include "hash/blake2_x86.h"

namespace tarvolin::hash::blake2 {

TARVOLIN_BLAKE2_TARGET void Blake2sSse41(std::uint32_t* state, std::uint32_t* counter,
                                         const std::uint8_t* data, std::size_t blocks,
                                         std::uint32_t increment, std::uint32_t f0,
                                         std::uint32_t f1) {
  CompressBlocks(state, counter, data, blocks, increment, f0, f1);
}

}  // namespace tarvolin::hash::blake2
